#pragma once

#include "dcOutCommon.h"

#include <QWidget>

#include <array>

/**
 * @short The pale background under the rounded panels; it paints a soft
 * three-step drop shadow right of and below each rounded child.
 */
class TRndPnlContainer : public QWidget {
    Q_OBJECT
public:
    explicit TRndPnlContainer(QWidget *parent = nullptr);

    /** The container's colour; the outermost shadow corner takes it. */
    TColor BackgroundColor() const { return m_backgroundColor; }
    const std::array<TColor, 3> &Shadows() const { return m_shadowColors; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor m_backgroundColor = 0xD0F7FF;
    std::array<TColor, 3> m_shadowColors = ShadowColors;
};
