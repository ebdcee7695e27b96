#pragma once

// The mail model: the settings object with the message and its placeholders,
// the MIME table, the hand-over message and the job counters.
#include "MessageAnalysis.h"
#include "SettingsParam.h"
#include "TESettings.h"
#include "TEmailMessage.h"
#include "TJobInfo.h"
#include "TMimeTable.h"
#include "TParameter.h"
// OpenHomePage and OpenSupportMail, the about box's two links.
#include "WebEmail.h"
