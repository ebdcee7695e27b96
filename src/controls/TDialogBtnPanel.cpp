#include "TDialogBtnPanel.h"

#include "dcOutCommon.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

TDialogBtnPanel::TDialogBtnPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TDialogBtnPanel::Setup(DialogButtonSet buttons, bool showSeparator, int margin)
{
    setObjectName(QStringLiteral("A_DlgBtnPanel"));
    setAutoFillBackground(true);
    m_showSeparator = showSeparator;
    m_margin = margin;
    resize(width(), BarHeight);

    const bool hasCandidate = (buttons.Bits() & DefaultButtonCandidates.Bits()) != 0;

    QPushButton *defaultButton = nullptr;
    QList<QPushButton *> tabOrder;
    for (int id = 0; id < DialogButtonCount; ++id) {
        const auto buttonId = static_cast<DialogButtonId>(id);
        if (!buttons.Contains(buttonId))
            continue;
        auto *button = new QPushButton(DialogButtonTable[id].Caption, this);
        // A focused button answers Enter itself; without any default
        // candidate no button may become the dialog's default.
        button->setAutoDefault(hasCandidate);
        if (!defaultButton && DefaultButtonCandidates.Contains(buttonId)) {
            defaultButton = button;
            button->setDefault(true);
            tabOrder.prepend(button);
        } else {
            tabOrder.append(button);
        }
        button->setGeometry(0, BarHeight - 38, ButtonWidth, ButtonHeight);
        connect(button, &QPushButton::clicked, this, [this, buttonId] { ButtonClick(buttonId); });
        m_buttons[id] = button;
    }
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));

    if (QWidget *parent = parentWidget())
        parent->installEventFilter(this);
    if (window() != parentWidget())
        window()->installEventFilter(this);
    AlignToParentBottom();
    LayoutButtons();
}

QPushButton *TDialogBtnPanel::Button(DialogButtonId id) const
{
    return id < DialogButtonCount ? m_buttons[id] : nullptr;
}

QString TDialogBtnPanel::ButtonCaption(DialogButtonId id)
{
    return id < DialogButtonCount ? DialogButtonTable[id].Caption : QString();
}

QPushButton *TDialogBtnPanel::CancelButton() const
{
    for (int id = 0; id < DialogButtonCount; ++id)
        if (m_buttons[id] && DialogButtonTable[id].ModalResult == mrCancel)
            return m_buttons[id];
    return nullptr;
}

void TDialogBtnPanel::ButtonClick(DialogButtonId id)
{
    const QPointer<TDialogBtnPanel> self(this);
    m_keepOpen = false;
    emit ButtonClicked(id);
    if (!self || m_keepOpen)
        return;
    const int result = DialogButtonTable[id].ModalResult;
    if (result == mrNone)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window()))
        dialog->done(result == mrOk ? QDialog::Accepted : QDialog::Rejected);
}

void TDialogBtnPanel::AlignToParentBottom()
{
    if (const QWidget *parent = parentWidget())
        setGeometry(0, parent->height() - BarHeight, parent->width(), BarHeight);
}

void TDialogBtnPanel::LayoutButtons()
{
    // Right group, from the right end leftwards: 4 px between neighbours,
    // 16 px more to the right of a wide-gap button.
    int x = width() - m_margin + 4;
    for (int id = DialogButtonCount - 1; id >= 0; --id) {
        const auto buttonId = static_cast<DialogButtonId>(id);
        if (LeftButtonGroup.Contains(buttonId))
            break;
        QPushButton *button = m_buttons[id];
        if (!button)
            continue;
        x -= button->width() + 4;
        if (WideGapButtons.Contains(buttonId))
            x -= 16;
        button->move(x, button->y());
    }
    x = m_margin;
    for (int id = 0; id < DialogButtonCount && LeftButtonGroup.Contains(static_cast<DialogButtonId>(id)); ++id) {
        if (QPushButton *button = m_buttons[id]) {
            button->move(x, button->y());
            x += button->width() + 4;
        }
    }
}

void TDialogBtnPanel::paintEvent(QPaintEvent *)
{
    if (!m_showSeparator)
        return;
    QPainter painter(this);
    painter.fillRect(m_margin, 0, width() - 2 * m_margin, 2, ColorFromBGR(clBtnShadow));
}

void TDialogBtnPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutButtons();
}

bool TDialogBtnPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        AlignToParentBottom();
    if (watched == window() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            // Escape is the cancel button's click, never a silent reject.
            if (QPushButton *cancel = CancelButton(); cancel && !cancel->isHidden() && cancel->isEnabled())
                cancel->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
