#pragma once

#include "TIdSet32.h"

#include <QString>

#include <array>
#include <cstdint>

// The standard buttons of the dialogs' bottom bar: one fixed table of 22 rows.

enum DialogButtonId : std::uint8_t {
    bAdd,
    bEdit,
    bDelete,
    bDefault,
    bOK,
    bSave,
    bProceed,
    bCommit,
    bBack,
    bNext,
    bRetry,
    bAbort,
    bViewLog,
    bClose,
    bRollback,
    bCancel,
    bFinish,
    bStop,
    bPrint,
    bHelp,
    bNew,
    bSetup,
};

using DialogButtonSet = TIdSet32<DialogButtonId>;

constexpr int DialogButtonCount = 22;

/** Modal results of the table: none, OK, Cancel. */
constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

/** @short One row of the button table. */
struct TDialogButtonInfo {
    QString Identifier;
    QString Caption;
    int ModalResult;
};

extern const std::array<TDialogButtonInfo, DialogButtonCount> DialogButtonTable;

/** The present one with the lowest id becomes the default button. */
constexpr DialogButtonSet DefaultButtonCandidates = {bOK, bSave, bProceed, bCommit, bNext, bClose, bCancel};
/** Laid out from the left margin; all others right-aligned. */
constexpr DialogButtonSet LeftButtonGroup = {bAdd, bEdit, bDelete, bDefault};
/** 16 px of extra space to the right of these. */
constexpr DialogButtonSet WideGapButtons = {bNext};
