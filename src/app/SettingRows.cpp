#include "SettingRows.h"

#include "TESettings.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {

// The panel's frame hides the table's left 4 px; with column 0 at width 0
// that edge belongs to column 1.
constexpr int HiddenLeft = 4;

/** @short Draws column 1 4 px further right, so that the frame cuts only blank margin. */
class LabelColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        if (index.column() == 1)
            shifted.rect.setLeft(shifted.rect.left() + HiddenLeft);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
};

} // namespace

bool FillSettingRows(QStandardItemModel &model, const TESettings &settings, SettingsParamSet rows,
                     const QList<QIcon> &images)
{
    if (model.rowCount() > 0)
        model.removeRows(0, model.rowCount());
    model.setColumnCount(3);
    bool complete = true;
    for (int i = 0; i < SettingsParamCount; ++i) {
        if (!rows.Contains(i))
            continue;
        auto *value = new QStandardItem(settings.DisplayText(i));
        if (RequiredParams.Contains(i) && settings.Param(i).GetStr().isEmpty()) {
            complete = false;
            if (images.size() > RequiredMarkImage)
                value->setIcon(images[RequiredMarkImage]);
        }
        model.appendRow({new QStandardItem(), new QStandardItem(ParamShortLabels[size_t(i)].toString()), value});
    }
    return complete;
}

void SetRowColumns(QTableView &list, int labelWidth)
{
    if (!dynamic_cast<LabelColumnDelegate *>(list.itemDelegate()))
        list.setItemDelegate(new LabelColumnDelegate(&list));
    list.setColumnWidth(0, 0);
    list.setColumnWidth(1, labelWidth);
    list.setColumnWidth(2, list.width() - labelWidth);
}
