#pragma once

// Rounded panels and the container that paints their shadows.
#include "TRndPnlContainer.h"
#include "TRoundedPanel.h"
