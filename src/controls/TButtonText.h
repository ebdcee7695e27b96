#pragma once

#include "TXPPanel.h"

class QLineEdit;
class QToolButton;
class TCardLabel;

/**
 * @short A value field of the settings editor: the value as a one-line label
 * cut with an ellipsis (or a borderless edit when it is typed in) and a small
 * "..." button at the right end that opens an editor for the value.
 *
 * Clicked(Tag) comes from the button always, and from the label and the free
 * area of the field when the field is not editable.
 */
class TButtonText : public TXPPanel {
    Q_OBJECT
public:
    explicit TButtonText(QWidget *parent = nullptr);

    /** Builds the field once, after creation and parenting; its height becomes one line + 8. */
    void Setup(int tag, bool pathEllipsis, bool editable);
    /** Moves and sizes the field: the button a square at the right end, the value up to 4 px before it. */
    void SetBounds(int left, int top, int width, int height);

    /** The typed text, else the label's caption, else empty. */
    QString GetText() const;
    void SetText(const QString &text);

    int Tag() const { return m_tag; }
    TCardLabel *ValueLabel() const { return m_valueLabel; }
    QLineEdit *Edit() const { return m_edit; }
    QToolButton *Button() const { return m_button; }
    /** Width left for the value (label or edit). */
    int ValueWidth() const { return m_valueWidth; }

signals:
    void Clicked(int Tag);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LayoutParts();

    int m_tag = 0;
    bool m_editable = false;
    TCardLabel *m_valueLabel = nullptr;
    QLineEdit *m_edit = nullptr;
    QToolButton *m_button = nullptr;
    int m_gap = 2;
    int m_topOffset = 0;
    int m_valueWidth = 0;
    int m_labelHeight = 0;
};
