#include "PnEmail.h"

#include "Personalise.h"
#include "PnAdList.h"
#include "TBodyView.h"
#include "TCardLabel.h"
#include "TESettings.h"
#include "TRecipient.h"
#include "TVTxtBtnPanel.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr TColor ViewColor = 0xF0FFFF;
constexpr TColor CaptionTextColor = 0x505050;
constexpr TColor GreyBodyColor = 0x808080;
constexpr TColor BlackBodyColor = 0x000000;

// Row captions of the view, by TEmailMsgPanel::Row.
constexpr std::array<QStringView, TEmailMsgPanel::RowCount> RowNames = {u"From", u"To", u"Subject", u"Status"};

constexpr int CaptionLeft = 4;
constexpr int ValueLeft = 94;
constexpr int BodyGap = 7;

// Children of the E-Mail panel sit under the caption band, 6 px from its edges.
constexpr int ChildTop = 25;
constexpr int Margin = 6;
constexpr int ViewBarGap = 8;

void SetTextColour(QWidget *widget, TColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, ColorFromBGR(colour));
    palette.setColor(QPalette::WindowText, ColorFromBGR(colour));
    widget->setPalette(palette);
}

void EnableOnly(TCommandLinkBar &bar, CommandSet enabled)
{
    for (int id = 0; id < CommandCount; ++id)
        bar.SetCommandEnabled(CommandId(id), enabled.Contains(CommandId(id)));
}

} // namespace

// --- TEmailMsgPanel

TEmailMsgPanel::TEmailMsgPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TEmailMsgPanel::Setup(TColor lineColor)
{
    m_lineColor = lineColor;
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColorFromBGR(ViewColor));
    setPalette(palette);

    int y = 1;
    for (unsigned i = 0; i < RowCount; ++i) {
        auto *label = new QLabel(RowNames[i].toString() + u':', this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        SetTextColour(label, CaptionTextColor);
        label->adjustSize();
        label->move(CaptionLeft, y);
        m_labels[i] = label;

        auto *value = new TCardLabel(this);
        value->SetSingleLine(true);
        value->move(ValueLeft, y);
        m_values[i] = value;

        y += label->height();
    }

    // Plain text is laid out only where it shows: a job puts a new body in for
    // every recipient, and laying all of it out each time cost more than the
    // rest of the window's work together.
    m_bodyView = new TBodyView(this);
    m_bodyView->setFrameShape(QFrame::NoFrame);
    m_bodyView->setReadOnly(true);
    m_bodyView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_bodyView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_bodyView->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_bodyView->document()->setUndoRedoEnabled(false);
    QPalette bodyPalette = m_bodyView->palette();
    bodyPalette.setColor(QPalette::Base, ColorFromBGR(ViewColor));
    m_bodyView->setPalette(bodyPalette);
    m_bodyView->move(CaptionLeft, y + BodyGap);
    Layout();
}

void TEmailMsgPanel::Layout()
{
    if (!m_bodyView)
        return;
    m_bodyView->resize(std::max(0, width() - 8), std::max(0, height() - m_bodyView->y() - 2));
    // A long value is cut 8 px from the view's right edge.
    for (TCardLabel *value : m_values)
        value->SetMaxWidth(std::max(0, width() - value->x() - 8));
}

void TEmailMsgPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void TEmailMsgPanel::paintEvent(QPaintEvent *)
{
    if (!m_bodyView)
        return;
    QPainter painter(this);
    painter.fillRect(m_bodyView->x(), m_bodyView->y() - 4, m_bodyView->width(), 1, ColorFromBGR(m_lineColor));
}

// --- TEmailPanel

TEmailPanel::TEmailPanel(QWidget *parent)
    : TRoundedPanel(parent)
{
}

void TEmailPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                        TColor shadowCornerColor)
{
    Setup(0xFFFFFF, bandColor, captionColor, cornerColor, shadowCornerColor);
    SetTitle(u"E-Mail"_s);
    m_toItem = {};

    m_messageView = new TEmailMsgPanel(this);
    m_messageView->Setup(bandColor);
    m_messageView->setGeometry(Margin, ChildTop, 0, 0);

    m_buttons = new TVTxtBtnPanel(this);
    m_buttons->Setup(commands, bandColor);
    connect(m_buttons, &TVTxtBtnPanel::OnCommand, this,
            [this](QObject *sender, CommandId command) { DoCommand(sender, command); });
    m_buttons->move(m_buttons->x(), ChildTop);

    ClearView();
    Layout();
}

void TEmailPanel::SetBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
    Layout();
}

void TEmailPanel::Layout()
{
    if (!m_messageView || !m_buttons)
        return;
    const int barWidth = m_buttons->width();
    m_buttons->setGeometry(width() - barWidth - Margin, m_buttons->y(), barWidth,
                           std::max(0, height() - m_buttons->y() - Margin));
    m_messageView->resize(std::max(0, width() - barWidth - Margin - ViewBarGap - Margin),
                          std::max(0, height() - m_messageView->y() - Margin));
    update();
}

void TEmailPanel::resizeEvent(QResizeEvent *event)
{
    TRoundedPanel::resizeEvent(event);
    Layout();
}

void TEmailPanel::paintEvent(QPaintEvent *event)
{
    TRoundedPanel::paintEvent(event);
    if (!m_messageView || !m_buttons)
        return;
    QPainter painter(this);
    const QColor band = ColorFromBGR(BandColor());
    const QColor white = ColorFromBGR(0xFFFFFF);
    for (const QWidget *child : {static_cast<QWidget *>(m_messageView), static_cast<QWidget *>(m_buttons)}) {
        const QRect r = child->geometry().adjusted(-1, -1, 1, 1);
        painter.fillRect(r.left(), r.top(), r.width(), 1, band);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, band);
        painter.fillRect(r.left(), r.top(), 1, r.height(), band);
        painter.fillRect(r.right(), r.top(), 1, r.height(), band);
        // White corners round the frame off against the white panel.
        for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            painter.fillRect(corner.x(), corner.y(), 1, 1, white);
    }
}

void TEmailPanel::SetBody(const QString &text, bool grey)
{
    m_body = text;
    m_bodyGrey = grey;
    TBodyView *body = m_messageView->BodyView();
    const TColor colour = grey ? GreyBodyColor : BlackBodyColor;
    if (body->palette().color(QPalette::Text) != ColorFromBGR(colour))
        SetTextColour(body, colour);
    // The widget keeps its own paragraphs; the e-mail takes m_body as it is.
    body->ShowText(text);
}

void TEmailPanel::ClearView()
{
    if (!m_messageView)
        return;
    for (unsigned row = 0; row < TEmailMsgPanel::RowCount; ++row)
        m_messageView->Value(TEmailMsgPanel::Row(row))->SetCaption(QString());
    m_subject.clear();
    SetBody(m_settings ? m_settings->MessageBody() : QString(), true);
}

void TEmailPanel::ShowMessageFor(const TRecipient *item)
{
    if (!item) {
        ClearView();
        return;
    }
    if (!m_messageView || !m_settings)
        return;
    const TESettings &settings = *m_settings;
    const QStringList values = item->Values();

    // The sender shows in full even without an address ("Name <>"); only "To" falls back to the name alone.
    const TEmailAddressItem sender = SenderItem(settings);
    m_messageView->Value(TEmailMsgPanel::rowFrom)->SetCaption(AddressDisplayText(sender.Name, sender.Address));
    m_toItem = VisibleRecipient(settings, values);
    m_messageView->Value(TEmailMsgPanel::rowTo)->SetCaption(AddressItemText(m_toItem));

    // The view shows the subject as sent.
    m_subject = PersonalisedSubject(settings, values);
    m_messageView->Value(TEmailMsgPanel::rowSubject)->SetCaption(m_subject);
    m_messageView->Value(TEmailMsgPanel::rowStatus)->SetCaption(item->StatusText);

    m_bccTo = settings.Param(spBccEmails).GetBool() ? settings.Param(spBccTo).GetStr() : QString();
    m_replyTo = settings.Param(spReplyEna).GetBool() ? settings.Param(spReplyTo).GetStr() : QString();

    // A body that is the same for everybody was written at the first recipient after ClearView.
    if (settings.CanPersonalise() || m_bodyGrey)
        SetBody(PersonalisedBody(settings, values), false);
}

void TEmailPanel::ShowStatus(const TRecipient *item)
{
    if (item && m_messageView)
        m_messageView->Value(TEmailMsgPanel::rowStatus)->SetCaption(item->StatusText);
}

void TEmailPanel::UpdateCommandStates(const TAdListPanel &list)
{
    TEmailCommandState state;
    state.RequiredSet = m_settings && m_settings->AllRequiredSet();
    state.NotSent = list.StatusCount(RecipientStatus::NotSent);
    state.Sent = list.StatusCount(RecipientStatus::Sent);
    state.Failed = list.StatusCount(RecipientStatus::Failed);
    state.HasCurrentItem = list.CurrentItem() >= 0;
    state.IsHtml = m_settings && m_settings->IsHtml;
    UpdateCommandStates(state);
}

void TEmailPanel::UpdateCommandStates(const TEmailCommandState &state)
{
    if (!m_buttons)
        return;
    EnableOnly(*m_buttons, EnabledEmailCommands(state));
    const bool batchMode = m_settings && m_settings->Param(spBatchMode).GetBool();
    m_buttons->SetCommandCaption(cmSendAll, SendCommandCaption(batchMode));
}

void TEmailPanel::SetPanelJobMode(JobMode mode, const TAdListPanel &list)
{
    if (!m_messageView || !m_buttons)
        return;
    if (mode == JobMode::Idle) {
        m_messageView->setEnabled(true);
        UpdateCommandStates(list);
    } else {
        EnterJobMode(mode);
    }
}

void TEmailPanel::EnterJobMode(JobMode mode)
{
    EnableOnly(*m_buttons, JobModeEmailCommands(mode));
    // The rows still follow the job, but the view takes no input.
    m_messageView->setEnabled(false);
    m_buttons->setFocus();
}

void TEmailPanel::DoCommand(QObject *Sender, CommandId Command)
{
    emit OnCommand(Sender, Command);
}
