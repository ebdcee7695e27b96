#pragma once

#include "TSettingRowsPanel.h"

/**
 * @short The "Message" panel: subject, message file, attachments, copies and
 * send method as rows, with the commands that edit them.
 */
class TMsgPanel : public TSettingRowsPanel {
    Q_OBJECT

public:
    /** Shows the settings {14, 15, 16, 18, 20, 26}. */
    explicit TMsgPanel(QWidget *parent = nullptr);

    /**
     * Command "Settings": the settings editor on the message page. True, and
     * the rows rebuilt, when it changed the settings (OK, or "&Headers..."
     * before a Cancel).
     */
    bool EditMessageSettings();
    /**
     * Command "Text": the message text editor; OK saves the text into the
     * working copy (and into the message file when asked) and analyses it
     * again. True on OK; the rows show nothing of the text.
     */
    bool EditMessageText();
    /** Command "Method": the settings editor on the send-method page; OK rebuilds the rows. True on OK. */
    bool EditSendMethod();

protected:
    /** Enables every command, empty required rows or not. */
    void UpdateCommands(bool complete) override;
};
