// The first layer of Settings: the job fields emptied and every conversion
// setting at its default. The driver calls both once, before the options are
// read; tests call them on their own records.
#pragma once

#include "settings/settings.h"

namespace quorbix {

// INPUT, OUTPUT, CONVERSION empty; INPUT-GIVEN, DEBUG, QUIET, PAUSE false.
void resetJobFields(Settings& settings);

// Every conversion setting to its default. FILE-TIMESTAMP-CUSTOM becomes the
// current local date and time as a date value (seconds counted in local
// time); WM-TEXT becomes the product's ownership notice. The job options are
// left alone.
void setDefaults(Settings& settings);

}  // namespace quorbix
