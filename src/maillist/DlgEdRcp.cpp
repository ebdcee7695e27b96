#include "DlgEdRcp.h"

#include "MsgDlgs.h"
#include "TDialogBtnPanel.h"
#include "TRecipientCursor.h"
#include "TRecipientModel.h"
#include "UI.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace {

constexpr int DialogClientWidth = 366;
constexpr int MainWindowRightGap = 17;
constexpr int LabelLeft = 8;
constexpr int EditLeft = 116;
constexpr int EditWidth = 240;

// A to Z match their lower-case letters; no other character is folded.
bool SameAddress(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z')
            x = char16_t(x + 32);
        if (y >= u'A' && y <= u'Z')
            y = char16_t(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

TEditRcpDialog::TEditRcpDialog(TRecipientModel &model, TRecipientCursor &cursor, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_model(model)
    , m_cursor(cursor)
{
    SetDialogFont(this);
    resize(356, 241);
}

TEditRcpDialog::~TEditRcpDialog() = default;

void TEditRcpDialog::BuildRows()
{
    setWindowTitle(IsAdd ? u"Add Recipient"_s : u"Edit Destination"_s);
    int y = 10;
    const int rows = m_model.ParamColumns() + 1;
    for (int r = 0; r < rows && r < int(Edits.size()); ++r) {
        CreateLabel(this, RecipientRowLabels[size_t(r)].toString() + u":"_s, LabelLeft, y + 2);
        auto *edit = new QLineEdit(this);
        if (!IsAdd && m_model.IsValidItem(EditItem))
            edit->setText(m_model.Recipient(EditItem).Value(r));
        edit->setGeometry(EditLeft, y, EditWidth, edit->sizeHint().height());
        Edits[size_t(r)] = edit;
        y += edit->height() + 4;
    }
    ButtonBar = CreateDialogBtnPanel(this, {bOK, bCancel}, false, 8);
    connect(ButtonBar, &TDialogBtnPanel::ButtonClicked, this, &TEditRcpDialog::ConfirmRecipient);
    setFixedHeight(TDialogBtnPanel::BarHeight + y + 8);
    if (Edits[0])
        Edits[0]->setFocus();
}

bool TEditRcpDialog::ConfirmDuplicates(const QString &address)
{
    for (const TRecipient &r : m_model.Recipients()) {
        if (SameAddress(r.Address, address)
            && !ConfirmYesNo(u"E-mail address \"%1\" is already in the list\r\nAdd recipient anyway?"_s.arg(address)))
            return false;
    }
    return true;
}

void TEditRcpDialog::ConfirmRecipient(DialogButtonId id)
{
    if (id != bOK)
        return;
    const QString address = TrimControls(Edits[0]->text());
    if (address.isEmpty()) {
        ButtonBar->KeepOpen();
        return;
    }
    QStringList params;
    for (size_t r = 1; r < Edits.size() && Edits[r]; ++r)
        params.append(Edits[r]->text());

    if (!IsAdd) {
        m_model.SetValues(EditItem, Edits[0]->text(), params);
        return;
    }
    // Asked about the address as it will be stored ("|" made "/"), so that
    // it cannot slip past the recipient it will duplicate.
    if (!ConfirmDuplicates(CleanField(Edits[0]->text()))) {
        ButtonBar->KeepOpen();
        return;
    }
    const int row = m_model.Append(Edits[0]->text(), params);
    m_cursor.AddToSelection(row);
    if (ListView)
        ListView->scrollTo(m_model.index(row, 0));
}

void TEditRcpDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    GradientFill(painter, width(), height(), AdjustLuma(BackColor, 18), AdjustLuma(BackColor, -12), true);
    if (ButtonBar)
        painter.fillRect(0, ButtonBar->y() - 1, width(), 1, Qt::white);
}

bool EditRecipient(int item, TRecipientModel &model, TRecipientCursor &cursor, QAbstractItemView *listView,
                   const QPoint &position, TColor colour, bool add)
{
    TEditRcpDialog dialog(model, cursor, listView ? listView->window() : nullptr);
    dialog.move(position);
    dialog.setFixedWidth(DialogClientWidth);
    if (listView) {
        const QRect main = listView->window()->geometry();
        const int limit = main.right() - MainWindowRightGap;
        if (dialog.geometry().right() > limit)
            dialog.move(limit - dialog.width() + 1, dialog.y());
    }
    dialog.BackColor = colour;
    dialog.EditItem = item;
    dialog.ListView = listView;
    dialog.IsAdd = add;
    dialog.BuildRows();
    return dialog.exec() == QDialog::Accepted;
}
