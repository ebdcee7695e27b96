#include "TCardLabel.h"

#include "CardText.h"
#include "Cursors.h"
#include "TCardLabelAccessible.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

TCardLabel::TCardLabel(QWidget *parent)
    : QWidget(parent)
{
    InstallCardLabelAccessibility();
    setFocusPolicy(Qt::NoFocus);
    FitToText();
}

void TCardLabel::SetCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    m_overflow = false;
    update();
    FitToText();
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TCardLabel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TCardLabel::SetWordWrap(bool wordWrap)
{
    if (wordWrap == m_wordWrap)
        return;
    m_wordWrap = wordWrap;
    update();
    FitToText();
}

void TCardLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    FitToText();
}

void TCardLabel::SetSingleLine(bool singleLine)
{
    m_singleLine = singleLine;
    update();
}

void TCardLabel::SetPathEllipsis(bool pathEllipsis)
{
    m_pathEllipsis = pathEllipsis;
    update();
}

void TCardLabel::SetMaxWidth(int maxWidth)
{
    if (maxWidth == m_maxWidth)
        return;
    m_maxWidth = maxWidth;
    if (m_autoSize)
        FitToText();
    else
        SetBounds(x(), y(), width(), height());
}

void TCardLabel::SetDisabledColor(TColor colour)
{
    m_disabledColor = colour;
    update();
}

void TCardLabel::SetHotColor(TColor colour)
{
    m_hotColor = colour;
    update();
}

void TCardLabel::SetIsLink(bool isLink)
{
    m_isLink = isLink;
    if (isLink)
        setCursor(KitCursor(CursorHand));
    else
        unsetCursor();
}

void TCardLabel::SetBounds(int left, int top, int width, int height)
{
    m_overflow = false;
    if (m_maxWidth >= 0)
        width = std::min(width, m_maxWidth);
    setGeometry(left, top, width, height);
}

QSize TCardLabel::TextSize() const
{
    // An empty caption measures as a blank, so the label keeps one line's height.
    const QString text = m_caption.isEmpty() ? QStringLiteral(" ") : m_caption;
    const QFontMetrics metrics(font());
    const QStringList lines = CardTextLines(font(), text, width(), m_wordWrap);
    int textWidth = 0;
    for (const QString &line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    return {textWidth, static_cast<int>(lines.size()) * metrics.height()};
}

void TCardLabel::FitToText()
{
    if (!m_autoSize)
        return;
    const QSize size = TextSize();
    int left = x();
    if (m_alignment & Qt::AlignRight)
        left += width() - size.width();
    SetBounds(left, y(), size.width(), size.height());
}

QSize TCardLabel::sizeHint() const
{
    return TextSize();
}

void TCardLabel::Click()
{
    if (isEnabled())
        emit clicked();
}

void TCardLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont drawFont = font();
    QColor colour = palette().color(QPalette::WindowText);
    if (!isEnabled()) {
        m_hot = false;
        colour = ColorFromBGR(m_disabledColor);
    } else if (m_isLink && m_hot) {
        colour = ColorFromBGR(m_hotColor);
        drawFont.setUnderline(true);
    }
    painter.setFont(drawFont);
    painter.setPen(colour);

    const QFontMetrics metrics(font());
    if (m_lineHeight == 0)
        m_lineHeight = metrics.height();
    const int w = width();
    const int h = height();
    // No mnemonic flag: an '&' is drawn as itself.
    const int flags = (m_alignment & Qt::AlignHCenter ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop;

    if (h >= m_lineHeight) {
        QStringList lines;
        if (m_singleLine) {
            lines = CardTextLines(font(), m_caption, w, false);
            for (QString &line : lines)
                line = ElideCardLine(metrics, line, w, m_pathEllipsis);
        } else {
            lines = CardTextLines(font(), m_caption, w, m_wordWrap);
            m_overflow = lines.size() * m_lineHeight > h;
            // As in a multi-line edit, a line that is only partly visible is not drawn.
            lines = lines.mid(0, h / m_lineHeight);
        }
        for (qsizetype i = 0; i < lines.size(); ++i)
            painter.drawText(QRect(0, static_cast<int>(i) * m_lineHeight, w, m_lineHeight), flags, lines.at(i));
    } else {
        m_overflow = !m_caption.isEmpty();
    }
    if (m_overflow)
        DrawOverflowMark(painter);
}

void TCardLabel::DrawOverflowMark(QPainter &painter) const
{
    if (m_lineHeight <= 0)
        return;
    const int y = std::max(height() / m_lineHeight * m_lineHeight - 1, 0);
    painter.setPen(ColorFromBGR(clBtnShadow));
    for (int x = 0; x < width() - 5; x += 6)
        painter.drawPoint(x, y);
}

void TCardLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FitToText();
        m_lineHeight = QFontMetrics(font()).height();
        update();
    } else if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange) {
        update();
    }
}

void TCardLabel::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    // A drag that started elsewhere holds the mouse: the link does not light up.
    const bool captured = QWidget::mouseGrabber() != nullptr || QGuiApplication::mouseButtons() != Qt::NoButton;
    if (m_isLink && isEnabled() && !captured) {
        m_hot = true;
        repaint();
    }
}

void TCardLabel::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_isLink && isEnabled() && m_hot) {
        m_hot = false;
        update();
    }
}

// The label takes its own clicks; they do not reach the parent.
void TCardLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void TCardLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    if (click)
        emit clicked();
}
