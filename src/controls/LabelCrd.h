#pragma once

// The kit's label and its text rules.
#include "CardText.h"
#include "TCardLabel.h"
