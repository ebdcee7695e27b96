#include "TIntSpinEdit.h"

#include "EdSpin.h"

#include <algorithm>
#include <limits>

TIntSpinEdit::TIntSpinEdit(QWidget *parent)
    : TSpinEdit(parent)
{
    std::bitset<256> chars;
    for (char c : {'+', '-'})
        chars.set(static_cast<unsigned char>(c));
    for (char c = '0'; c <= '9'; ++c)
        chars.set(static_cast<unsigned char>(c));
    SetValidChars(chars);
    SetValue(0);
}

void TIntSpinEdit::SetValue(int value)
{
    m_value = Clamp(value);
    setText(Suffix().isEmpty() ? QString::number(m_value) : QString::number(m_value) + Suffix());
}

int TIntSpinEdit::GetValue() const
{
    return SpinTextValue(text(), m_value);
}

int TIntSpinEdit::Clamp(int value) const
{
    return ClampSpin(value, m_min, m_max);
}

void TIntSpinEdit::Validate()
{
    SetValue(GetValue());
    emit OnValueChange();
}

void TIntSpinEdit::UpDownClick(UpDownButton button)
{
    TSpinEdit::UpDownClick(button);
    int stepped = GetValue();
    if (OnStep) {
        OnStep(this, button, stepped);
    } else {
        // A step past the 32-bit range stops at its end.
        const qint64 next = qint64{stepped} + (button == UpDownButton::Up ? m_increment : -qint64{m_increment});
        stepped = static_cast<int>(
            std::clamp<qint64>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    SetValue(stepped);
    emit OnAfterStep();
    emit OnValueChange();
}
