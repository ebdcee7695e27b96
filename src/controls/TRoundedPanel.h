#pragma once

#include "dcOutCommon.h"

#include <QWidget>

/**
 * @short A panel with a gradient caption band 20 px high, a thin frame in a
 * shade of the band colour and corner pixels that round it off; grey while
 * disabled.
 */
class TRoundedPanel : public QWidget {
    Q_OBJECT
public:
    explicit TRoundedPanel(QWidget *parent = nullptr);

    /** Height of the caption band. */
    static constexpr int BandHeight = 20;
    /** The band colour of every panel while it is disabled. */
    static constexpr TColor DisabledBandColor = 0xD0D0D0;

    /** Sets the colours once, after creation, and the font face "Verdana" (size and style kept). */
    void Setup(TColor colour, TColor bandColor, TColor captionColor, TColor cornerColor, TColor shadowCornerColor);

    QString Title() const { return m_title; }
    void SetTitle(const QString &title);
    /** Qt::AlignHCenter (default) centres the title; anything else puts it at x = 6. */
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);

    TColor Color() const { return m_color; }
    TColor BandColor() const { return m_bandColor; }
    TColor CaptionColor() const { return m_captionColor; }
    TColor CornerColor() const { return m_cornerColor; }
    TColor ShadowCornerColor() const { return m_shadowCornerColor; }

    /** The band colour in use: BandColor, or the grey while disabled. */
    TColor ActiveBandColor() const;
    /** The frame's colour: the band colour in use made lighter by 12. */
    TColor FrameColor() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QString m_title;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    TColor m_color = 0xFFFFFF;
    TColor m_bandColor = DisabledBandColor;
    TColor m_captionColor = 0;
    TColor m_cornerColor = 0xFFFFFF;
    TColor m_shadowCornerColor = 0xFFFFFF;
};
