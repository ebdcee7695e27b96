#pragma once

#include "DialogButtons.h"
#include "dcOutCommon.h"

#include <QDialog>
#include <QStringView>

#include <array>

class QAbstractItemView;
class QLineEdit;
class TDialogBtnPanel;
class TRecipientCursor;
class TRecipientModel;

/** Labels of the dialog's rows: the address, then parameters 1 to 9. */
inline constexpr std::array<QStringView, 10> RecipientRowLabels{
    u"E-Mail Address", u"Parameter 1", u"Parameter 2", u"Parameter 3", u"Parameter 4",
    u"Parameter 5",    u"Parameter 6", u"Parameter 7", u"Parameter 8", u"Parameter 9"};

/**
 * @short The dialog that adds a recipient to the list or edits one: one row
 * for the address and one for each of the list's parameters.
 *
 * OK with an empty address keeps the dialog open; adding an address that is
 * already in the list (letter case ignored) asks first. A "|" becomes "/".
 */
class TEditRcpDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TEditRcpDialog)

public:
    TEditRcpDialog(TRecipientModel &model, TRecipientCursor &cursor, QWidget *parent = nullptr);
    ~TEditRcpDialog() override;

    /** Edit boxes: 0 the address, 1..9 the parameters; null for rows not shown. */
    std::array<QLineEdit *, 10> Edits{};
    TDialogBtnPanel *ButtonBar = nullptr;
    /** The row edited (unused when adding). */
    int EditItem = -1;
    /** The list view, scrolled to a recipient that was added. */
    QAbstractItemView *ListView = nullptr;
    bool IsAdd = false;
    /** Background colour of the gradient. */
    TColor BackColor = 0xF8D8B8;

    /** Lays out the caption, the rows and the button bar. */
    void BuildRows();
    /** The button bar's handler: OK stores the recipient, or keeps the dialog open. */
    void ConfirmRecipient(DialogButtonId id);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool ConfirmDuplicates(const QString &address);

    TRecipientModel &m_model;
    TRecipientCursor &m_cursor;
};

/**
 * Shows the dialog modally with its top-left corner at position (kept left of
 * the main window's right edge); true when it was closed with OK.
 */
bool EditRecipient(int item, TRecipientModel &model, TRecipientCursor &cursor, QAbstractItemView *listView,
                   const QPoint &position, TColor colour, bool add);
