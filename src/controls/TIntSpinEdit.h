#pragma once

#include "TSpinEdit.h"

#include <functional>

/**
 * @short An integer spin edit: Value within Min and Max (no bounds when they
 * are equal), stepped by Increment, written as the number and Suffix.
 */
class TIntSpinEdit : public TSpinEdit {
    Q_OBJECT
public:
    explicit TIntSpinEdit(QWidget *parent = nullptr);

    int Value() const { return m_value; }
    /** Stores the clamped value and rewrites the text. */
    void SetValue(int value);
    /** The value the text stands for; text that is no whole number gives Value. */
    int GetValue() const;
    int Clamp(int value) const;

    int Min() const { return m_min; }
    void SetMin(int min) { m_min = min; }
    int Max() const { return m_max; }
    void SetMax(int max) { m_max = max; }
    int Increment() const { return m_increment; }
    void SetIncrement(int increment) { m_increment = increment; }

    /** When set, computes the stepped value (it gets the text's value to change) instead of +/- Increment. */
    std::function<void(TIntSpinEdit *sender, UpDownButton button, int &value)> OnStep;

    /** SetValue(GetValue()), then OnValueChange. */
    void Validate() override;

protected:
    void UpDownClick(UpDownButton button) override;

private:
    int m_value = 0;
    int m_min = 0;
    int m_max = 0;
    int m_increment = 1;
};
