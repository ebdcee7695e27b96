#pragma once

#include "TSettingRowsPanel.h"

/**
 * @short The "Connection" panel: server, sender and pacing settings as rows,
 * with the commands "Settings" and "Test Connection"; the test is offered only
 * while every required row is filled.
 */
class TSettPanel : public TSettingRowsPanel {
    Q_OBJECT

public:
    /** Shows the settings {0, 7, 8, 9, 10, 11}. */
    explicit TSettPanel(QWidget *parent = nullptr);

    /** The settings-editor page of cmConnSettings: {0..13}. */
    SettingsParamSet EditPage() const { return m_editPage; }

    /** Command "Settings": the settings editor on EditPage; OK rebuilds the rows. True on OK. */
    bool EditSettings();

protected:
    /** Enables "Settings", and "Test Connection" when no required row is empty. */
    void UpdateCommands(bool complete) override;

private:
    const SettingsParamSet m_editPage;
};
