#pragma once
#include "platform/format_settings.h"

namespace qvx {
// The current user's regional formats.
FormatSettings ReadUserFormatSettings();
}
