#pragma once

#include "DialogButtons.h"
#include "SettingsParam.h"

#include <QString>

#include <cstdint>

// The pages of the settings editor and the rules that decide, per setting,
// which control edits it and which switch row enables it; no widget here.

/** Server, port, time-out, authentication, SSL, sender and pacing. */
inline constexpr SettingsParamSet ConnectionPageParams = SettingsParamSet::Range(spSmtpServer, spBatchQty);
/** Subject, message file, attachments, copy and Reply-To addresses, name parameter. */
inline constexpr SettingsParamSet MessagePageParams = SettingsParamSet::Range(spSubject, spNameParInd);
/** Send method, the visible To name and address of a BCC e-mail, recipients per e-mail. */
inline constexpr SettingsParamSet MethodPageParams = SettingsParamSet::Range(spMethodBcc, spMethodCount);
/** MIME switch, character set and the extra header lines. */
inline constexpr SettingsParamSet HeadersPageParams = SettingsParamSet::Range(spMimeEna, spExtraHdrEna);

/** Rows after which the next row starts lower, with a separator band in the gap. */
inline constexpr SettingsParamSet SeparatorParams{spSmtpTimeout, spSmtpSsl,     spYourName,    spRecPause,
                                                  spSubject,     spMessageFile, spAttachments, spBccTo,
                                                  spReplyTo,     spCharSet,     spMethodBcc,   spMethodEmail};

/** The items of the send-method list; the index is the value of MethodBcc. */
inline constexpr QStringView SendMethodItems[] = {u"Individual E-mails (default)", u"BCC (no message personalization)"};

/** The control that edits a setting in the editor. */
enum class RowControl : std::uint8_t {
    CheckBox,
    ComboBox,   // the send method
    SpinEdit,   // an integer within the setting's bounds
    ValueField, // a path chosen with a browse dialog, not typed
    Attachments,
    Edit,
    PasswordEdit,
};

/** The control of a setting, by its type and the few rules tied to particular settings. */
RowControl RowControlOf(int index);

/** A label stands left of the control: every setting that is no check box and has a long label. */
bool RowHasLabel(int index);

/** The text of a row's label: the long label followed by ":". */
QString RowLabelText(int index);

/** The row whose state enables this one (a check box, or the send method for its BCC rows); -1: always enabled. */
int SwitchRowOf(int index);

/**
 * The dialog's caption: "Customize Message Headers" for a page with the MIME
 * switch, then "Connection Settings", "Choose the way e-mails will be sent",
 * else "Message Settings".
 */
QString PageCaption(SettingsParamSet page);

/** The button bar of a page: OK, Cancel, Help, and Setup on the message and headers pages. */
DialogButtonSet PageButtons(SettingsParamSet page);

/**
 * A button's caption on a page: on the message page Help reads "Clear &All"
 * and Setup "&Headers...", on the headers page Setup reads "&Preview";
 * otherwise the table's caption.
 */
QString PageButtonCaption(SettingsParamSet page, DialogButtonId id);

/** The left edge of the controls: the headers page uses the whole width. */
int ControlColumn(SettingsParamSet page);
