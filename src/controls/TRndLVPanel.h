#pragma once

#include "TRndBtnPanel.h"

class QAbstractItemModel;
class QItemSelectionModel;
class QTableView;

/**
 * @short A command panel with a framed, borderless, read-only table between
 * the caption band and the command bar.
 *
 * The table shows any model handed over with SetModel (rows, columns, text,
 * icons by DecorationRole); column widths and row heights stay the derived
 * panel's business. The frame hides the table's left 4 px; the table's own
 * delegate draws the first column 4 px further right to make up for it (a
 * derived panel that sets another delegate takes that over).
 *
 * Inactive (the default), the table only displays its rows: it takes no
 * mouse or keyboard input but is drawn as usual.
 */
class TRndLVPanel : public TRndBtnPanel {
    Q_OBJECT
public:
    explicit TRndLVPanel(QWidget *parent = nullptr);

    /** Inherited Build, then the frame and the table. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** Lays out the frame and the table (when built), then the inherited layout. */
    void SetBounds(int left, int top, int width, int height) override;

    /** The white frame that clips the table; nullptr before Build. */
    QWidget *Frame() const { return m_frame; }
    /** The table; nullptr before Build. */
    QTableView *List() const { return m_list; }
    /** The table's model, not owned (the caller keeps it alive); nullptr when none. */
    QAbstractItemModel *Model() const;
    /** Shows the model in the table (a new selection model comes with it); does nothing before Build. */
    void SetModel(QAbstractItemModel *model);
    /** The table's selection model; nullptr before Build or without a model. */
    QItemSelectionModel *SelectionModel() const;

    bool Active() const { return m_active; }
    /**
     * Active: the table takes input, selects whole rows and keeps its
     * selection visible without the focus. Takes effect on the layout at the
     * next SetBounds. An equal value changes nothing.
     */
    void SetActive(bool active);

    /**
     * Empties the model through removeRows (the model decides how); more than
     * 2000 rows show the busy cursor meanwhile. Nothing happens without rows.
     */
    void ClearItems();

private:
    void ApplyActive();

    QWidget *m_frame = nullptr;
    QTableView *m_list = nullptr;
    bool m_active = false;
};
