#pragma once

// The bordered caption panel and the value field built on it.
#include "TButtonText.h"
#include "TXPPanel.h"
