#include "DlgRestr.h"

#include "AppError.h"
#include "MsgDlgs.h"
#include "TDialogBtnPanel.h"
#include "UI.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString Caption = u"Restore Workspace"_s;
const QString WarningText = u"Warning! This operation will override your current settings. If you want to reuse "
                            u"your current settings later, press \"Cancel\" now and backup your current workspace."_s;
constexpr int ClientWidth = 480;
constexpr int ImageLeft = 16;
constexpr int ImageTop = 20;
constexpr int ImageSize = 32;

} // namespace

TRestoreDialog::TRestoreDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    SetDialogFont(this);
    setWindowTitle(Caption);

    m_image = new QLabel(this);
    m_image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(ImageSize, ImageSize));
    m_image->setGeometry(ImageLeft, ImageTop, ImageSize, ImageSize);
}

void TRestoreDialog::BuildRows(const QString &Name, TRestoreSett &Options)
{
    m_restoreSett = &Options;
    // The boxes start from the file, not from memory.
    m_restoreSett->LoadSaveRestoreOptions(false);
    setWindowTitle(Caption + u" - "_s + Name);

    const int x = m_image->geometry().left() + m_image->width() + 12;
    int y = m_image->y() - 4;
    const int rowWidth = ClientWidth - x - m_image->x();
    QLabel *warning = CreateWrapLabel(this, WarningText, x, y, rowWidth, 3, true);
    // Three lines of the font's height leave no room for the line spacing, and
    // a font wider than the design's may need a fourth: the warning is read whole.
    warning->resize(rowWidth, std::max(warning->height(), warning->heightForWidth(rowWidth)));
    y += warning->height() + 24;
    for (int i = 0; i < RestoreOptionCount; ++i) {
        const auto option = RestoreOption(i);
        QCheckBox *box = CreateCheckBox(this, RestoreOptionCaptions[size_t(i)].toString(), x, y, rowWidth);
        box->setChecked(m_restoreSett->IsOn(option));
        m_checkBoxes[size_t(i)] = box;
        // A wider gap sets the status reset apart from the three restore choices, and the last box from the buttons.
        y += box->height() + (option == rpRestoreLst || option == rpClearStatus ? 16 : 4);
    }

    m_buttons = CreateDialogBtnPanel(this, {bOK, bCancel}, true, m_image->x());
    m_buttons->Button(bOK)->setText(u"&Proceed"_s);
    connect(m_buttons, &TDialogBtnPanel::ButtonClicked, this, &TRestoreDialog::ButtonClick);
    setFixedSize(ClientWidth, TDialogBtnPanel::BarHeight + y + 8);
}

void TRestoreDialog::ButtonClick(DialogButtonId id)
{
    if (id != bOK || !m_restoreSett)
        return;
    std::array<bool, RestoreOptionCount> before{};
    for (int i = 0; i < RestoreOptionCount; ++i) {
        TIniPar &option = m_restoreSett->Option(RestoreOption(i));
        before[size_t(i)] = option.GetBool();
        option.SetBool(m_checkBoxes[size_t(i)]->isChecked());
    }
    try {
        m_restoreSett->LoadSaveRestoreOptions(true);
    } catch (const AppError &error) {
        // The choices could not be kept: say so and stay, the options as they were.
        for (int i = 0; i < RestoreOptionCount; ++i)
            m_restoreSett->Option(RestoreOption(i)).SetBool(before[size_t(i)]);
        ErrorBox(error.Message());
        m_buttons->KeepOpen();
    }
}

bool ExecuteRestoreDialog(const QString &Name, TRestoreSett &Options, QWidget *parent)
{
    TRestoreDialog dialog(parent);
    dialog.BuildRows(Name, Options);
    return dialog.exec() == QDialog::Accepted;
}
