#pragma once

#include "JobMode.h"
#include "SettingsParam.h"
#include "TRndLVPanel.h"

#include <QIcon>
#include <QList>

class QStandardItemModel;
class TESettings;

/**
 * @short The "Connection" panel: server, sender and pacing settings as rows,
 * with the commands "Settings" and "Test Connection"; the test is offered only
 * while every required row is filled.
 *
 * Owner's order: create, SetSettings, connect OnCommand, Build, SetImages, SetBounds.
 */
class TSettPanel : public TRndLVPanel {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 310;
    static constexpr int PanelHeight = 167;

    explicit TSettPanel(QWidget *parent = nullptr);

    /** The settings object (not owned); set before Build. */
    void SetSettings(TESettings *settings) { m_settings = settings; }

    /** Inherited Build, then title, size, columns and rows. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** The icon list; image 3 marks an empty required value. */
    void SetImages(const QList<QIcon> &images);

    /** Rebuilds the rows; enables "Settings", and "Test Connection" when no required row is empty. */
    void RefreshRows();
    /** A job (mode 1 to 4) disables every command; idle (0) rebuilds the rows. */
    void SetJobMode(JobMode mode);

    /** The settings shown: {0, 7, 8, 9, 10, 11}. */
    SettingsParamSet RowSet() const { return m_rowSet; }
    /** The settings-editor page of command 0: {0..13}. */
    SettingsParamSet EditPage() const { return m_editPage; }
    TESettings *Settings() const { return m_settings; }

private:
    /** Fills the rows; false when a required row is empty. */
    bool FillRows();

    SettingsParamSet m_rowSet;
    SettingsParamSet m_editPage;
    TESettings *m_settings = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QList<QIcon> m_images;
};
