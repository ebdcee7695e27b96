#pragma once

#include <QLineEdit>

#include <bitset>

class QToolButton;

/** Which arrow of a spin edit was used. */
enum class UpDownButton { Up, Down };

/**
 * @short A one-line edit with an up-down arrow pair inside its right edge:
 * typing is limited to ValidChars, the arrows and the Up and Down keys step,
 * Enter validates (and is not passed on to the dialog).
 */
class TSpinEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    /** A printable character in ValidChars, or a control character (below 32, or 0x7F); only control
     * characters but Backspace while not Editable. */
    virtual bool IsValidChar(QChar key) const;
    /** Confirms the text (Enter, leaving the field); nothing here. */
    virtual void Validate();

    /** False: nothing can be typed, pasted or cut; the arrows still step. */
    bool Editable() const { return m_editable; }
    void SetEditable(bool editable);
    /** A unit shown right after the number. */
    QString Suffix() const { return m_suffix; }
    void SetSuffix(const QString &suffix) { m_suffix = suffix; }
    /** The printable characters that may be typed (8-bit codes). */
    const std::bitset<256> &ValidChars() const { return m_validChars; }
    void SetValidChars(const std::bitset<256> &validChars) { m_validChars = validChars; }

    QWidget *UpDown() const { return m_upDown; }
    QToolButton *UpArrow() const { return m_upArrow; }
    QToolButton *DownArrow() const { return m_downArrow; }

signals:
    /** After a step and after Validate. */
    void OnValueChange();
    /** An arrow or arrow key was used, before the step. */
    void OnUpDown(UpDownButton Button);
    /** After a step, before OnValueChange. */
    void OnAfterStep();

protected:
    /** The arrows' click, also for the Up and Down keys: takes the focus, raises OnUpDown. */
    virtual void UpDownClick(UpDownButton button);

    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PasteStrictly();
    void PlaceArrows();

    QWidget *m_upDown = nullptr;
    QToolButton *m_upArrow = nullptr;
    QToolButton *m_downArrow = nullptr;
    bool m_editable = true;
    QString m_suffix;
    std::bitset<256> m_validChars;
};
