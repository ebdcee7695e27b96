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

protected:
    /** Enables every command, empty required rows or not. */
    void UpdateCommands(bool complete) override;
};
