#pragma once

// The support library's chief module: typed INI parameters, text and path
// helpers, the start-up environment, form placement and file dialogs.
#include "FileDialogs.h"
#include "FormPlacement.h"
#include "StartupEnv.h"
#include "TIniPar.h"
#include "TextHelpers.h"
