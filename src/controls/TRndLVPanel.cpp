#include "TRndLVPanel.h"

#include "BusyCursor.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>

namespace {

// Clearing thousands of rows takes long enough to show the busy cursor.
constexpr int BusyClearThreshold = 2000;

// The frame hides the table's left 4 px.
constexpr int HiddenLeft = 4;

/**
 * @short Draws the first column's content 4 px further right, so that the
 * part the frame hides is blank margin and no text or icon is cut.
 */
class ClippedEdgeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        if (index.column() == 0)
            shifted.rect.setLeft(shifted.rect.left() + HiddenLeft);
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return index.column() == 0 ? size + QSize(HiddenLeft, 0) : size;
    }
};

} // namespace

TRndLVPanel::TRndLVPanel(QWidget *parent)
    : TRndBtnPanel(parent)
{
}

void TRndLVPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                        TColor shadowCornerColor)
{
    TRndBtnPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);

    m_frame = new QWidget(this);
    m_frame->setAutoFillBackground(true);
    QPalette framePalette = m_frame->palette();
    framePalette.setColor(QPalette::Window, ColorFromBGR(0xFFFFFF));
    m_frame->setPalette(framePalette);

    m_list = new QTableView(m_frame);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->horizontalHeader()->hide();
    m_list->verticalHeader()->hide();
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setItemDelegate(new ClippedEdgeDelegate(m_list));
    const QFontMetrics metrics(m_list->font());
    // Compact rows as in a report list: one text line or a small icon, plus a little air.
    m_list->verticalHeader()->setMinimumSectionSize(1);
    m_list->verticalHeader()->setDefaultSectionSize(std::max(metrics.height(), 16) + 3);
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Text, ColorFromBGR(0x202020));
    m_list->setPalette(listPalette);
    ApplyActive();

    SetBounds(x(), y(), width(), height());
}

void TRndLVPanel::SetBounds(int left, int top, int width, int height)
{
    if (m_frame && m_list) {
        m_frame->setGeometry(5, 24, width - 10, height - 46 - (ShowSeparator() ? 4 : 0));
        // The frame clips the table's left 4 px and top row always, and more of
        // its right and bottom edges (scroll bars) while it is inactive.
        const int fw = m_frame->width();
        const int fh = m_frame->height();
        if (m_active)
            m_list->setGeometry(-HiddenLeft, -1, fw + 2, fh + 1);
        else
            m_list->setGeometry(-HiddenLeft, -1, fw + 8, fh + 4);
    }
    TRndBtnPanel::SetBounds(left, top, width, height);
}

QAbstractItemModel *TRndLVPanel::Model() const
{
    return m_list ? m_list->model() : nullptr;
}

void TRndLVPanel::SetModel(QAbstractItemModel *model)
{
    if (!m_list)
        return;
    m_list->setModel(model);
    ApplyActive();
}

QItemSelectionModel *TRndLVPanel::SelectionModel() const
{
    return m_list ? m_list->selectionModel() : nullptr;
}

void TRndLVPanel::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    ApplyActive();
}

void TRndLVPanel::ApplyActive()
{
    if (!m_list)
        return;
    // An inactive table is display-only: input is blocked, never greyed.
    m_list->setAttribute(Qt::WA_TransparentForMouseEvents, !m_active);
    m_list->setFocusPolicy(m_active ? Qt::StrongFocus : Qt::NoFocus);
    if (!m_active)
        m_list->clearFocus();
    m_list->setSelectionBehavior(m_active ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);

    // Hide-selection: without the focus an inactive table draws its selection as plain rows.
    QPalette pal = m_list->palette();
    const QPalette::ColorGroup focusless = QPalette::Inactive;
    if (m_active) {
        pal.setColor(focusless, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(focusless, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        pal.setColor(focusless, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Base));
        pal.setColor(focusless, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::Text));
    }
    m_list->setPalette(pal);
}

void TRndLVPanel::ClearItems()
{
    QAbstractItemModel *model = Model();
    if (!model)
        return;
    const int rows = model->rowCount();
    if (rows <= 0)
        return;
    if (rows > BusyClearThreshold) {
        const BusyCursor busy;
        model->removeRows(0, rows);
    } else {
        model->removeRows(0, rows);
    }
}
