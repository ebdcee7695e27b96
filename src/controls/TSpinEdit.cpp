#include "TSpinEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

namespace {

/** @short Turns away any edit (a paste from the context menu, say) that brings in other characters. */
class SpinCharValidator : public QValidator {
public:
    explicit SpinCharValidator(TSpinEdit *edit)
        : QValidator(edit)
        , m_edit(edit)
    {
    }

    State validate(QString &input, int &) const override
    {
        QStringView digits(input);
        const QString suffix = m_edit->Suffix();
        if (!suffix.isEmpty() && digits.endsWith(suffix))
            digits.chop(suffix.size());
        for (const QChar c : digits)
            if (c.unicode() < 32 || !m_edit->IsValidChar(c))
                return Invalid;
        return Acceptable;
    }

private:
    TSpinEdit *m_edit;
};

QToolButton *CreateArrow(QWidget *parent, Qt::ArrowType arrow)
{
    auto *button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button->setMinimumSize(1, 1);
    return button;
}

} // namespace

TSpinEdit::TSpinEdit(QWidget *parent)
    : QLineEdit(parent)
{
    m_upDown = new QWidget(this);
    auto *arrows = new QVBoxLayout(m_upDown);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    m_upArrow = CreateArrow(m_upDown, Qt::UpArrow);
    m_downArrow = CreateArrow(m_upDown, Qt::DownArrow);
    arrows->addWidget(m_upArrow);
    arrows->addWidget(m_downArrow);
    connect(m_upArrow, &QToolButton::clicked, this, [this] { UpDownClick(UpDownButton::Up); });
    connect(m_downArrow, &QToolButton::clicked, this, [this] { UpDownClick(UpDownButton::Down); });

    setText(QStringLiteral("0"));
    setAcceptDrops(false);
    for (char c : {'+', '-'})
        m_validChars.set(static_cast<unsigned char>(c));
    for (char c = '0'; c <= '9'; ++c)
        m_validChars.set(static_cast<unsigned char>(c));
    const QString decimal = QLocale().decimalPoint();
    if (decimal.size() == 1 && decimal.at(0).unicode() < 256)
        m_validChars.set(decimal.at(0).unicode());
    setValidator(new SpinCharValidator(this));

    const int arrowWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // The text never runs under the arrows.
    setTextMargins(0, 0, arrowWidth + 1, 0);
    PlaceArrows();
}

bool TSpinEdit::IsValidChar(QChar key) const
{
    const char16_t code = key.unicode();
    // X11 sends the Delete key with the character 0x7F: a control character like Backspace, never typed.
    const bool control = code < 32 || code == 0x7F;
    if (!m_editable)
        return control && code != 8;
    return control || (code < 256 && m_validChars.test(code));
}

void TSpinEdit::Validate() {}

void TSpinEdit::SetEditable(bool editable)
{
    m_editable = editable;
    setReadOnly(!editable);
}

void TSpinEdit::UpDownClick(UpDownButton button)
{
    if (!hasFocus() && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::OtherFocusReason);
    emit OnUpDown(button);
}

void TSpinEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        UpDownClick(UpDownButton::Up);
        event->accept();
        return;
    case Qt::Key_Down:
        UpDownClick(UpDownButton::Down);
        event->accept();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Taken here, so the dialog's default button does not see it.
        Validate();
        selectAll();
        event->accept();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteStrictly();
        event->accept();
        return;
    }
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command) {
        for (const QChar c : event->text()) {
            if (!IsValidChar(c)) {
                QApplication::beep();
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void TSpinEdit::PasteStrictly()
{
    if (isReadOnly())
        return;
    const QString text = QApplication::clipboard()->text().trimmed();
    for (const QChar c : text) {
        if (c.unicode() < 32 || !IsValidChar(c)) {
            QApplication::beep();
            return;
        }
    }
    insert(text);
}

void TSpinEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu or another window taking the focus does not leave the field.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        Validate();
}

void TSpinEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    PlaceArrows();
}

void TSpinEdit::PlaceArrows()
{
    const int arrowWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int frame = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) : 0;
    m_upDown->setGeometry(width() - frame - arrowWidth, frame, arrowWidth, height() - 2 * frame);
}
