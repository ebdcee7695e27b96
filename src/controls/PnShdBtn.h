#pragma once

// Command panels and list-view panels.
#include "TRndBtnPanel.h"
#include "TRndLVPanel.h"
