#pragma once

// The dialog button table and the bar built from it.
#include "DialogButtons.h"
#include "TDialogBtnPanel.h"
