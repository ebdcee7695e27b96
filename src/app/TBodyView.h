#pragma once

#include <QPlainTextEdit>
#include <QStringView>

/**
 * @short The read-only message body of the E-Mail panel.
 *
 * A job shows a new body for every recipient, most of it the same as before:
 * ShowText changes only the paragraphs that differ, lays out now only those
 * that show, and the view repaints only the parts that changed.
 */
class TBodyView final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TBodyView(QWidget *parent = nullptr);

    /** Makes the view hold text, paragraph for paragraph (CR LF, CR, LF each end one). */
    void ShowText(QStringView text);
    /** The number of the last paragraph the view shows, at least in part. */
    int LastShownParagraph() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
