#pragma once

#include "CommandTable.h"
#include "EmailCommands.h"
#include "JobMode.h"
#include "TBodyView.h"
#include "TEmailMessage.h"
#include "TRoundedPanel.h"

#include <QString>

#include <array>

class QLabel;
class TAdListPanel;
class TCardLabel;
class TESettings;
class TVTxtBtnPanel;
struct TRecipient;

/**
 * @short The message view: the rows From, To, Subject and Status above a line
 * and the read-only body.
 */
class TEmailMsgPanel : public QWidget {
    Q_OBJECT

public:
    enum Row : unsigned { rowFrom = 0, rowTo = 1, rowSubject = 2, rowStatus = 3, RowCount = 4 };

    explicit TEmailMsgPanel(QWidget *parent = nullptr);

    /** Builds the rows and the body once, after the view has its parent; lineColor draws the line above the body. */
    void Setup(TColor lineColor);

    TColor LineColor() const { return m_lineColor; }
    QLabel *Label(Row row) const { return m_labels[row]; }
    TCardLabel *Value(Row row) const { return m_values[row]; }
    /** The body; nullptr before Setup. */
    TBodyView *BodyView() const { return m_bodyView; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Layout();

    TColor m_lineColor = 0;
    std::array<QLabel *, RowCount> m_labels{};
    std::array<TCardLabel *, RowCount> m_values{};
    TBodyView *m_bodyView = nullptr;
};

/**
 * @short The "E-Mail" panel: the message view of the current recipient, with
 * subject and body personalised, and the vertical bar of job commands.
 *
 * What the view shows for a recipient is what the job sends: GetSubject,
 * GetBody, ToItem, BccTo and ReplyTo give the strings personalised for the
 * last recipient shown (the body with its CR LF line ends), never what the
 * widgets made of them.
 *
 * Owner's order: create, SetSettings, connect OnCommand, Build, SetBounds.
 */
class TEmailPanel : public TRoundedPanel {
    Q_OBJECT

public:
    explicit TEmailPanel(QWidget *parent = nullptr);

    /** The settings object (not owned); set before Build. */
    void SetSettings(TESettings *settings) { m_settings = settings; }

    /** Builds the panel once: white with the colours given, the view and the bar of the commands; then ClearView. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor);
    /** Moves and sizes the panel; the view and the bar keep 6 px from its edges and 8 px between each other. */
    void SetBounds(int left, int top, int width, int height);

    /** Fills the view for a recipient row; nullptr clears it. */
    void ShowMessageFor(const TRecipient *item);
    /** Empties the four values and shows the unpersonalised message text in grey. */
    void ClearView();
    /** Shows the row's status text in the "Status" value; nullptr changes nothing. */
    void ShowStatus(const TRecipient *item);

    /** The subject personalised for the last recipient shown (empty after ClearView). */
    QString GetSubject() const { return m_subject; }
    /** The body the view shows, with its CR LF line ends. */
    QString GetBody() const { return m_body; }
    /** The visible recipient of the last recipient shown. */
    const TEmailAddressItem &ToItem() const { return m_toItem; }
    /** The BCC copy address, or empty. */
    const QString &BccTo() const { return m_bccTo; }
    /** The Reply-To address, or empty. */
    const QString &ReplyTo() const { return m_replyTo; }

    /** Enables the job commands by the settings and the list, and sets the caption of cmSendAll. */
    void UpdateCommandStates(const TAdListPanel &list);
    /** The same from the state given. */
    void UpdateCommandStates(const TEmailCommandState &state);
    /** Modes 1 to 4 lock the view and leave only "Stop Sending" (1 to 3) or nothing (4); mode 0 unlocks. */
    void SetPanelJobMode(JobMode mode, const TAdListPanel &list);

    /** The message view; nullptr before Build. */
    TEmailMsgPanel *MessageView() const { return m_messageView; }
    /** The command bar; nullptr before Build. */
    TVTxtBtnPanel *Buttons() const { return m_buttons; }

signals:
    /** A command link was clicked: Sender is the bar. */
    void OnCommand(QObject *Sender, CommandId Command);

protected:
    /** The bar's clicks arrive here and go on to OnCommand. */
    void DoCommand(QObject *Sender, CommandId Command);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Layout();
    void SetBody(const QString &text, bool grey);
    void EnterJobMode(JobMode mode);

    TESettings *m_settings = nullptr;
    TEmailMsgPanel *m_messageView = nullptr;
    TVTxtBtnPanel *m_buttons = nullptr;
    TEmailAddressItem m_toItem;
    QString m_bccTo;
    QString m_replyTo;
    QString m_subject;
    QString m_body;
    bool m_bodyGrey = false;
};
