#include "TBryStatusBar.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int TextIndent = 2;
// The sunken edge on the right of a panel.
constexpr int EdgeWidth = 2;

/** The text with every digit as the font's widest one: a count or a time may show any digit. */
int TextWidth(const QFontMetrics &metrics, const QString &text)
{
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit)
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest))
            widest = QChar(digit);
    QString sample = text;
    for (QChar &c : sample)
        if (c.isDigit())
            c = widest;
    return metrics.horizontalAdvance(sample);
}

/**
 * @short One panel as assistive technology sees it: named static text, its
 * text as the value and as the description (the AT-SPI bridge passes no
 * value of a static text, but passes its description).
 */
class TStatusPanelAccessible final : public QAccessibleInterface {
public:
    TStatusPanelAccessible(TBryStatusBar *bar, int index)
        : m_bar(bar)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_bar && m_index < m_bar->PanelCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_bar.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = !m_bar || !m_bar->isVisible();
        return state;
    }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_bar->PanelName(m_index);
        if (t == QAccessible::Value || t == QAccessible::Description)
            return m_bar->PanelText(m_index).trimmed();
        return {};
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = m_bar->PanelRect(m_index);
        return QRect(m_bar->mapToGlobal(local.topLeft()), local.size());
    }

private:
    QPointer<TBryStatusBar> m_bar;
    int m_index;
};

/** @short The bar as assistive technology sees it: a status bar whose children are the panels. */
class TBryStatusBarAccessible final : public QAccessibleWidget {
public:
    explicit TBryStatusBarAccessible(TBryStatusBar *bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar)
    {
    }

    int childCount() const override { return Bar()->PanelCount(); }
    QAccessibleInterface *child(int index) const override { return Bar()->PanelAccessible(index); }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < Bar()->PanelCount(); ++i)
            if (Bar()->PanelAccessible(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint local = Bar()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < Bar()->PanelCount(); ++i)
            if (Bar()->PanelRect(i).contains(local))
                return Bar()->PanelAccessible(i);
        return nullptr;
    }

private:
    TBryStatusBar *Bar() const { return static_cast<TBryStatusBar *>(widget()); }
};

QAccessibleInterface *StatusBarFactory(const QString &className, QObject *object)
{
    if (className == "TBryStatusBar"_L1 && object && object->isWidgetType())
        return new TBryStatusBarAccessible(static_cast<TBryStatusBar *>(object));
    return nullptr;
}

} // namespace

TBryStatusBar::TBryStatusBar(QWidget *parent)
    : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(StatusBarFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setAutoFillBackground(true);
    FitHeight();
}

TBryStatusBar::~TBryStatusBar()
{
    DropAccessible(0);
}

QSize TBryStatusBar::sizeHint() const
{
    return {200, height()};
}

void TBryStatusBar::AddPanel(const TStatusPanel &panel)
{
    m_panels.append({panel, QString()});
    m_widths.clear();
    update();
}

void TBryStatusBar::AddPanel(int width, Qt::Alignment alignment, bool ownerDrawn)
{
    TStatusPanel panel;
    panel.MinWidth = width;
    panel.Alignment = alignment;
    panel.OwnerDrawn = ownerDrawn;
    AddPanel(panel);
}

void TBryStatusBar::RemoveLastPanel()
{
    if (m_panels.isEmpty())
        return;
    m_panels.removeLast();
    m_widths.clear();
    DropAccessible(PanelCount());
    update();
}

QString TBryStatusBar::PanelText(int index) const
{
    if (index < 0 || index >= m_panels.size())
        return {};
    return m_panels[index].text;
}

void TBryStatusBar::SetPanelText(int index, const QString &text)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].text == text)
        return;
    m_panels[index].text = text;
    update(PanelRect(index));
    TellTextChanged(index, text);
}

void TBryStatusBar::TellTextChanged(int index, const QString &text)
{
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent value(PanelAccessible(index), text.trimmed());
        QAccessible::updateAccessibility(&value);
        QAccessibleEvent description(PanelAccessible(index), QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    }
}

QString TBryStatusBar::PanelName(int index) const
{
    return index >= 0 && index < m_panels.size() ? m_panels[index].shape.Name : QString();
}

void TBryStatusBar::SetPanelName(int index, const QString &name)
{
    if (index < 0 || index >= m_panels.size() || m_panels[index].shape.Name == name)
        return;
    m_panels[index].shape.Name = name;
    if (QAccessible::isActive()) {
        QAccessibleEvent event(PanelAccessible(index), QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

int TBryStatusBar::PanelWidth(int index) const
{
    if (m_widths.size() != m_panels.size()) {
        m_widths.clear();
        for (const Panel &panel : m_panels) {
            const TStatusPanel &shape = panel.shape;
            const int needed =
                shape.LongestText.isEmpty()
                    ? 0
                    : shape.TextLeft + TextWidth(fontMetrics(), shape.LongestText) + 2 * TextIndent + EdgeWidth;
            m_widths.append(std::max(shape.MinWidth, needed));
        }
    }
    return m_widths[index];
}

QRect TBryStatusBar::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += PanelWidth(i);
    const int width = index == m_panels.size() - 1 ? std::max(0, this->width() - left) : PanelWidth(index);
    return {left, 0, width, height()};
}

QRect TBryStatusBar::PanelTextRect(int index) const
{
    return PanelRect(index).adjusted(TextIndent, 0, -TextIndent - EdgeWidth, 0);
}

QAccessibleInterface *TBryStatusBar::PanelAccessible(int index) const
{
    if (index < 0 || index >= m_panels.size())
        return nullptr;
    while (m_accessibleIds.size() <= index) {
        auto *panel = new TStatusPanelAccessible(const_cast<TBryStatusBar *>(this), int(m_accessibleIds.size()));
        m_accessibleIds.append(QAccessible::registerAccessibleInterface(panel));
    }
    return QAccessible::accessibleInterface(m_accessibleIds[index]);
}

void TBryStatusBar::DropAccessible(int fromIndex)
{
    while (m_accessibleIds.size() > fromIndex)
        QAccessible::deleteAccessibleInterface(m_accessibleIds.takeLast());
}

void TBryStatusBar::FitHeight()
{
    setFixedHeight(std::max(BarHeight, fontMetrics().height() + 4));
}

void TBryStatusBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_widths.clear();
        FitHeight();
        update();
    }
}

void TBryStatusBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    for (int i = 0; i < m_panels.size(); ++i) {
        const QRect rect = PanelRect(i);
        // A panel whose text changed is repainted alone; the others stay as they are.
        if (!event->region().intersects(rect))
            continue;
        // A thin sunken edge on the right of every panel but the last.
        if (i + 1 < m_panels.size()) {
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawLine(rect.right() - 1, rect.top() + 2, rect.right() - 1, rect.bottom() - 2);
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(rect.right(), rect.top() + 2, rect.right(), rect.bottom() - 2);
        }
        const QRect inner = PanelTextRect(i);
        if (m_panels[i].shape.OwnerDrawn) {
            if (m_draw) {
                painter.save();
                m_draw(painter, i, inner);
                painter.restore();
            }
            continue;
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(inner, int(m_panels[i].shape.Alignment | Qt::AlignVCenter) | Qt::TextSingleLine,
                         painter.fontMetrics().elidedText(m_panels[i].text, Qt::ElideRight, inner.width()));
    }
}
