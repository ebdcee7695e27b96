#pragma once

// The command table and the two bars of command links.
#include "CommandTable.h"
#include "TTxtBtnPanel.h"
#include "TVTxtBtnPanel.h"
