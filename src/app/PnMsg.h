#pragma once

#include "JobMode.h"
#include "SettingsParam.h"
#include "TRndLVPanel.h"

#include <QIcon>
#include <QList>

class QStandardItemModel;
class TESettings;

/**
 * @short The "Message" panel: subject, message file, attachments, copies and
 * send method as rows, with the commands that edit them.
 *
 * Owner's order: create, SetSettings, connect OnCommand, Build, SetImages, SetBounds.
 */
class TMsgPanel : public TRndLVPanel {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 310;
    static constexpr int PanelHeight = 167;

    explicit TMsgPanel(QWidget *parent = nullptr);

    /** The settings object (not owned); set before Build. */
    void SetSettings(TESettings *settings) { m_settings = settings; }

    /** Inherited Build, then title, size, columns and rows. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** The icon list; image 3 marks an empty required value. */
    void SetImages(const QList<QIcon> &images);

    /** Rebuilds the rows and enables every command. */
    void RefreshRows();
    /** A job (mode 1 to 4) disables every command; idle (0) rebuilds the rows. */
    void SetJobMode(JobMode mode);

    /** The settings shown: {14, 15, 16, 18, 20, 26}. */
    SettingsParamSet RowSet() const { return m_rowSet; }
    TESettings *Settings() const { return m_settings; }

private:
    /** Fills the rows; false when a required row is empty. */
    bool FillRows();

    SettingsParamSet m_rowSet;
    TESettings *m_settings = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QList<QIcon> m_images;
};
