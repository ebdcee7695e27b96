// Draws every control of the kit into <build>/renders/*.png, so that the look
// can be checked by eye, and checks that each picture shows the band colours
// where the panels put them.
#include "EdSpin.h"
#include "LabelCrd.h"
#include "PnButtns.h"
#include "PnDlgBtn.h"
#include "PnShade.h"
#include "PnShdBtn.h"
#include "PnXP.h"
#include "RenderHelpers.h"
#include "StartupEnv.h"
#include "WindowWaits.h"

#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

using namespace Qt::StringLiterals;

namespace {

constexpr TColor Background = 0xD0F7FF;
constexpr TColor SettingsBand = 0xB8D8C0;
constexpr TColor ListBand = 0xF8D8B8;
constexpr TColor EmailBand = 0x80C0FF;
constexpr TColor SummaryBand = 0xFFC0C8;

QString RenderPath(const QString &name)
{
    QDir().mkpath(QStringLiteral(VC_RENDER_DIR));
    return QStringLiteral(VC_RENDER_DIR) + u'/' + name;
}

/** Shows the window off screen, grabs it, saves it and checks that it is a real picture. */
QImage Snapshot(QWidget &window, const QString &name)
{
    window.show();
    EXPECT_TRUE(WindowShown(&window));
    QCoreApplication::processEvents();
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(RenderPath(name)));
    std::set<TColor> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(PixelBGR(image, x, y));
    EXPECT_GT(colours.size(), 8u) << name.toStdString();
    return image;
}

QStandardItemModel *SettingsModel(QObject *owner, const QList<std::pair<QString, QString>> &rows)
{
    auto *model = new QStandardItemModel(static_cast<int>(rows.size()), 2, owner);
    for (int r = 0; r < rows.size(); ++r) {
        model->setItem(r, 0, new QStandardItem(rows[r].first));
        model->setItem(r, 1, new QStandardItem(rows[r].second));
    }
    return model;
}

TRndLVPanel *ListPanel(QWidget *parent, const QString &title, CommandSet commands, TColor band, TColor caption,
                       QStandardItemModel *model, const QRect &bounds)
{
    auto *panel = new TRndLVPanel(parent);
    panel->Build(commands, band, caption, Background, ShadowColors[0]);
    panel->SetTitle(title);
    panel->SetModel(model);
    panel->List()->setColumnWidth(0, 110);
    panel->List()->horizontalHeader()->setStretchLastSection(true);
    panel->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    return panel;
}

/** Checks the band of a panel in the window's picture: lighter top, band colour at row 20. */
void ExpectBand(const QImage &image, const QWidget &panel, TColor band)
{
    const QPoint at = panel.mapTo(panel.window(), QPoint(3, 0));
    EXPECT_EQ(PixelBGR(image, at.x(), at.y()), AdjustLuma(band, 16));
    EXPECT_EQ(PixelBGR(image, at.x(), at.y() + 20), band);
    const QPoint corner = panel.mapTo(panel.window(), QPoint(0, 0));
    EXPECT_EQ(PixelBGR(image, corner.x(), corner.y()), Background);
}

} // namespace

TEST(ControlsRenderTest, MainWindowPanelsOnTheContainer)
{
    const TWorkArea saved = WorkArea;
    WorkArea.Width = 1024;
    TRndPnlContainer container;
    container.resize(700, 470);
    QFont font(u"Verdana"_s);
    font.setPixelSize(12);
    container.setFont(font);

    auto *connection = ListPanel(&container, u"Connection"_s, {0, 1}, SettingsBand, 0x204020,
                                 SettingsModel(&container, {{u"SMTP Server"_s, u"smtp.example.org"_s},
                                                            {u"Port"_s, u"587"_s},
                                                            {u"User Name"_s, u"newsletter"_s},
                                                            {u"Sender"_s, u"news@example.org"_s}}),
                                 QRect(5, 5, 250, 160));
    auto *message = ListPanel(&container, u"Message"_s, {2, 3, 4}, SettingsBand, 0x204020,
                              SettingsModel(&container, {{u"Subject"_s, u"Spring offers for <%1>"_s},
                                                         {u"Message File"_s, u"/home/user/spring.txt"_s},
                                                         {u"Method"_s, u"One e-mail per recipient"_s}}),
                              QRect(5, 169, 250, 140));
    auto *list = ListPanel(&container, u"Mailing List"_s, {5, 6, 7, 8, 9, 10}, ListBand, 0x584820,
                           SettingsModel(&container, {{u"anna@example.org"_s, u"Sent on 2024-05-02 10:14"_s},
                                                      {u"bert@example.org"_s, u"Not yet sent"_s},
                                                      {u"carl@example.org"_s, u"Error: 550 mailbox unavailable"_s},
                                                      {u"dora@example.org"_s, u"Not yet sent"_s}}),
                           QRect(5, 313, 460, 150));
    list->SetActive(true);
    list->SetBounds(5, 313, 460, 150);
    list->SelectionModel()->select(list->Model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    auto *email = new TRoundedPanel(&container);
    email->Setup(0xFFFFFF, EmailBand, 0x204070, Background, ShadowColors[0]);
    email->SetTitle(u"E-Mail"_s);
    email->setGeometry(259, 5, 206, 304);
    auto *commands = new TVTxtBtnPanel(email);
    commands->Setup(CommandSet::Range(14, 22) + CommandSet{24, 25, 26}, EmailBand);
    commands->setGeometry(1, 25, commands->width(), 304 - 26);
    commands->SetCommandEnabled(17, false);

    auto *disabled = new TRndBtnPanel(&container);
    disabled->Build({19, 28}, SummaryBand, 0x402040, Background, ShadowColors[0]);
    disabled->SetTitle(u"Disabled"_s);
    disabled->SetBounds(480, 5, 200, 120);
    disabled->setEnabled(false);

    const QImage image = Snapshot(container, u"container.png"_s);
    ExpectBand(image, *connection, SettingsBand);
    ExpectBand(image, *message, SettingsBand);
    ExpectBand(image, *list, ListBand);
    ExpectBand(image, *email, EmailBand);
    ExpectBand(image, *disabled, 0xD0D0D0);
    // The shadow right of and below the Connection panel.
    EXPECT_EQ(PixelBGR(image, 255, 100), ShadowColors[0]);
    EXPECT_EQ(PixelBGR(image, 100, 165), ShadowColors[0]);
    WorkArea = saved;
}

TEST(ControlsRenderTest, SummaryPanelWithSeparator)
{
    TRndPnlContainer container;
    container.resize(300, 220);
    auto *model = SettingsModel(&container, {{u"Recipients"_s, u"1250"_s},
                                             {u"Sent"_s, u"1244"_s},
                                             {u"Failed"_s, u"6"_s},
                                             {u"Elapsed Time"_s, u"00:41:07"_s}});
    auto *summary = new TRndLVPanel(&container);
    summary->SetShowSeparator(true);
    summary->Build({19, 28}, SummaryBand, 0x402040, Background, ShadowColors[0]);
    summary->SetTitle(u"Summary"_s);
    summary->SetModel(model);
    summary->List()->setColumnWidth(0, 120);
    summary->SetBounds(8, 8, 280, 200);
    const QImage image = Snapshot(container, u"summary.png"_s);
    ExpectBand(image, *summary, SummaryBand);
    const int lineY = summary->y() + summary->Buttons()->y() - 1;
    EXPECT_EQ(PixelBGR(image, summary->x() + 20, lineY), AdjustLuma(SummaryBand, 12));
}

TEST(ControlsRenderTest, HorizontalBarWithHotLink)
{
    QWidget window;
    window.setAutoFillBackground(true);
    window.resize(420, 60);
    auto *bar = new TTxtBtnPanel(&window);
    bar->Setup({5, 6, 7, 8, 9, 10});
    bar->move(10, 15);
    bar->SetCommandEnabled(9, false);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(bar->Link(8), &enter);
    const QImage image = Snapshot(window, u"hbar.png"_s);
    EXPECT_GT(CountPixels(image, bar->geometry(), 0xFF0000), 10);
    EXPECT_GT(CountPixels(image, bar->geometry(), 0x803000), 10);
}

TEST(ControlsRenderTest, DialogButtonBars)
{
    QDialog dialog;
    dialog.resize(680, 170);
    auto *top = new QWidget(&dialog);
    top->setGeometry(0, 0, 680, 60);
    auto *upper = new TDialogBtnPanel(top);
    upper->Setup({bAdd, bEdit, bDelete, bBack, bNext, bClose}, false, 8);
    auto *lower = new TDialogBtnPanel(&dialog);
    lower->Setup({bOK, bCancel, bHelp}, true, 16);
    lower->Button(bOK)->setText(u"&Proceed"_s);
    const QImage image = Snapshot(dialog, u"dialog_bar.png"_s);
    EXPECT_EQ(PixelBGR(image, 200, lower->y()), BGROf(ColorFromBGR(clBtnShadow)));
}

TEST(ControlsRenderTest, ValueFieldsSpinEditAndLabels)
{
    QWidget window;
    window.setAutoFillBackground(true);
    window.resize(380, 260);
    QFont font(u"Verdana"_s);
    font.setPixelSize(13);
    window.setFont(font);

    auto *path = new TButtonText(&window);
    path->Setup(1, true, false);
    path->SetBounds(10, 10, 260, path->height());
    path->SetText(u"/home/user/Documents/campaigns/spring/recipients-final.csv"_s);
    auto *server = new TButtonText(&window);
    server->Setup(2, false, true);
    server->SetBounds(10, 40, 260, server->height());
    server->SetText(u"smtp.example.org"_s);
    auto *spin = new TIntSpinEdit(&window);
    spin->setGeometry(10, 72, 100, 24);
    spin->SetMin(1);
    spin->SetMax(9999);
    spin->SetValue(587);

    auto *wrapped = new TCardLabel(&window);
    wrapped->SetAutoSize(false);
    wrapped->SetWordWrap(true);
    wrapped->SetCaption(u"A multi-line value label whose text needs more lines than the label can show, "
                        "so a dotted line marks the cut."_s);
    wrapped->SetBounds(10, 110, 220, 2 * QFontMetrics(wrapped->font()).height() + 4);
    auto *link = new TCardLabel(&window);
    link->SetIsLink(true);
    link->SetCaption(u"Velko Online"_s);
    link->move(10, 160);
    auto *amp = new TCardLabel(&window);
    amp->SetCaption(u"Fish & Chips (no accelerator)"_s);
    amp->move(10, 185);
    auto *xp = new TXPPanel(&window);
    xp->setGeometry(250, 110, 120, 60);
    xp->SetCaption(u"Centred"_s);
    xp->SetLayout(TXPPanel::LayoutCenter);

    const QImage image = Snapshot(window, u"fields.png"_s);
    EXPECT_TRUE(wrapped->Overflow());
    EXPECT_EQ(path->ValueLabel()->width(), path->ValueWidth());
    EXPECT_EQ(PixelBGR(image, path->x() + 3, path->y() + 2), 0xFFFFFFu);
}
