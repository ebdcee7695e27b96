#include "BannerDialog.h"

#include "StatusIcons.h"

#include <QDialog>
#include <QLabel>

void SetupBannerDialog(QDialog &dialog, QSize clientSize, QPoint bannerPos)
{
    dialog.setFixedSize(clientSize);
    QPalette white = dialog.palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::Base, Qt::white);
    dialog.setPalette(white);
    dialog.setAutoFillBackground(true);

    auto *banner = new QLabel(&dialog);
    const QPixmap picture = ProductBanner();
    banner->setPixmap(picture);
    banner->setGeometry(QRect(bannerPos, picture.size()));
}

QWidget *CreateBannerRule(QDialog &dialog, const QRect &geometry, TColor color)
{
    auto *rule = new QWidget(&dialog);
    rule->setGeometry(geometry);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, ColorFromBGR(color));
    rule->setPalette(palette);
    rule->setAutoFillBackground(true);
    return rule;
}
