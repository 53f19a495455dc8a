#pragma once
// The sheet preparation now runs through the settings form; this header remains only
// until its last includers name settings/FormTransfer.h.
#include "settings/FormTransfer.h"
