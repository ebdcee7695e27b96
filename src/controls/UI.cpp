#include "UI.h"

#include "TDialogBtnPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

QLabel *PlainLabel(QWidget *parent, const QString &caption)
{
    auto *label = new QLabel(parent);
    // Plain text without a buddy: an '&' is drawn, no accelerator.
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    return label;
}

} // namespace

void SetDialogFont(QWidget *dialog)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    dialog->setFont(font);
}

QLabel *CreateLabel(QWidget *parent, const QString &caption, int left, int top)
{
    QLabel *label = PlainLabel(parent, caption);
    label->adjustSize();
    label->move(left, top);
    return label;
}

QLabel *CreateWrapLabel(QWidget *parent, const QString &caption, int left, int top, int width, int lines, bool wordWrap)
{
    QLabel *label = PlainLabel(parent, caption);
    label->setWordWrap(wordWrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int lineHeight = QFontMetrics(label->font()).height();
    label->setGeometry(left, top, width, lineHeight * lines);
    return label;
}

QListWidget *CreateListBox(QWidget *parent, int left, int top, int width, int height)
{
    auto *list = new QListWidget(parent);
    list->setGeometry(left, top, width, height);
    return list;
}

QComboBox *CreateComboBox(QWidget *parent, int left, int top, int width)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setGeometry(left, top, width, combo->sizeHint().height());
    return combo;
}

QCheckBox *CreateCheckBox(QWidget *parent, const QString &caption, int left, int top, int width)
{
    auto *check = new QCheckBox(caption, parent);
    check->setGeometry(left, top, width, check->sizeHint().height());
    return check;
}

QPushButton *CreateButton(QWidget *parent, const QString &caption, int tag, const std::function<void(int tag)> &onClick,
                          int left, int top, int width, int height)
{
    auto *button = new QPushButton(caption, parent);
    button->setGeometry(left, top, width, height);
    if (onClick)
        QObject::connect(button, &QPushButton::clicked, button, [onClick, tag] { onClick(tag); });
    return button;
}

TDialogBtnPanel *CreateDialogBtnPanel(QWidget *form, DialogButtonSet buttons, bool showSeparator, int margin)
{
    auto *bar = new TDialogBtnPanel(form);
    bar->Setup(buttons, showSeparator, margin);
    return bar;
}
