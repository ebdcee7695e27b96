#pragma once

#include <QDialog>

#include <cstdint>

class QDateTime;
class QLabel;
class QLocale;
class QPushButton;
class TCardLabel;

/** The version line's number: a whole number, a point and two digits. */
QString ProgramVersion();
/** Memory in whole megabytes, rounded to the nearest (a tie to the even one). */
int MemoryMegabytes(std::uint64_t bytes);
/** "Memory available to the system: <n> MB". */
QString MemoryText(std::uint64_t bytes);
/** "  (Build  <date> <time>)" in the locale's short formats; at midnight the date only. */
QString BuildText(const QDateTime &built, const QLocale &locale);

/**
 * @short The about box: logo, version and build date, the home-page and
 * support links, the machine's memory and OK. Filled when first shown.
 */
class TAboutDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutDialog)

public:
    explicit TAboutDialog(QWidget *parent = nullptr);

    /** The links' click: tag 0 opens the home page, tag 1 starts a support message. */
    void LinkClick(int tag);

    QLabel *L_Version = nullptr;
    QLabel *L_Copy = nullptr;
    QLabel *L_Internet = nullptr;
    QLabel *L_Email = nullptr;
    QLabel *L_COther = nullptr;
    QLabel *L_Memory = nullptr;
    QWidget *P_Line = nullptr;
    QPushButton *BtnOK = nullptr;
    /** The two links; nullptr until the box is shown. */
    TCardLabel *HomeLink = nullptr;
    TCardLabel *SupportLink = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    TCardLabel *CreateLink(const QString &caption, int tag, const QLabel *row);
};

/** Shows the about box modally over the parent. */
void ShowAbout(QWidget *parent = nullptr);
