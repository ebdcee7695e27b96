#include "TBryStatusBar.h"

#include <QPainter>

namespace {

constexpr int TextIndent = 2;

} // namespace

TBryStatusBar::TBryStatusBar(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(BarHeight);
    setAutoFillBackground(true);
}

QSize TBryStatusBar::sizeHint() const
{
    return {200, BarHeight};
}

void TBryStatusBar::AddPanel(int width, Qt::Alignment alignment, bool ownerDrawn)
{
    m_panels.append({width, alignment, ownerDrawn, QString()});
    update();
}

void TBryStatusBar::RemoveLastPanel()
{
    if (m_panels.isEmpty())
        return;
    m_panels.removeLast();
    update();
}

QString TBryStatusBar::PanelText(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index].text : QString();
}

void TBryStatusBar::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].text == text)
        return;
    m_panels[index].text = text;
    update(PanelRect(index));
}

QRect TBryStatusBar::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += m_panels[i].width;
    const int width = index == m_panels.size() - 1 ? std::max(0, this->width() - left) : m_panels[index].width;
    return {left, 0, width, height()};
}

void TBryStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (int i = 0; i < m_panels.size(); ++i) {
        const QRect rect = PanelRect(i);
        // A thin sunken edge on the right of every panel but the last.
        if (i + 1 < m_panels.size()) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(rect.right() - 1, rect.top() + 2, rect.right() - 1, rect.bottom() - 2);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(rect.right(), rect.top() + 2, rect.right(), rect.bottom() - 2);
        }
        const QRect inner = rect.adjusted(TextIndent, 0, -TextIndent - 2, 0);
        if (m_panels[i].ownerDrawn) {
            if (m_draw) {
                painter.save();
                m_draw(painter, i, inner);
                painter.restore();
            }
            continue;
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(inner, int(m_panels[i].alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(m_panels[i].text, Qt::ElideRight, inner.width()));
    }
}
