#pragma once

#include "JobMode.h"
#include "SettingsParam.h"
#include "TRndLVPanel.h"

#include <QIcon>
#include <QList>
#include <QString>

class QStandardItemModel;
class TESettings;

/**
 * @short A command panel that shows a fixed set of settings as rows (label
 * and display text) and marks the empty required ones; the base of the
 * "Connection" and "Message" panels.
 *
 * Owner's order: create, SetSettings, connect OnCommand, Build, SetImages, SetBounds.
 */
class TSettingRowsPanel : public TRndLVPanel {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 310;
    static constexpr int PanelHeight = 167;

    /** The settings object (not owned); set before Build. */
    void SetSettings(TESettings *settings) { m_settings = settings; }

    /** Inherited Build, then title, size, columns and rows. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** The icon list; image 3 marks an empty required value. */
    void SetImages(const QList<QIcon> &images);

    /** Rebuilds the rows, then sets the commands by whether every required row is filled. */
    void RefreshRows();
    /** A job (mode 1 to 4) disables every command; idle (0) rebuilds the rows. */
    void SetJobMode(JobMode mode);

    /** The settings shown. */
    SettingsParamSet RowSet() const { return m_rowSet; }
    TESettings *Settings() const { return m_settings; }

protected:
    TSettingRowsPanel(const QString &title, SettingsParamSet rowSet, QWidget *parent);

    /** Enables the panel's commands after the rows are rebuilt; complete: no required row is empty. */
    virtual void UpdateCommands(bool complete) = 0;

    /**
     * The settings editor on a page, at the corner of the panel's list, in the
     * panel's band colour lightened. True, and the rows rebuilt, when it
     * changed the settings.
     */
    bool EditSettingsPage(SettingsParamSet page);

private:
    /** Fills the rows; false when a required row is empty. */
    bool FillRows();

    const QString m_title;
    const SettingsParamSet m_rowSet;
    TESettings *m_settings = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QList<QIcon> m_images;
};
