#include "platform/format_settings.h"
#include "platform/win32/user_format_settings.h"
#include "platform/win32/wide_text.h"

#include <windows.h>

namespace qvx {

namespace {
std::string LocaleText(LCTYPE type, const char* fallback) {
    wchar_t buf[128];
    const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 128);
    if (n <= 1) return fallback;
    return Narrow(std::wstring_view(buf, n - 1));
}
} // namespace

FormatSettings ReadUserFormatSettings() {
    FormatSettings fs;
    fs.decimalSeparator = LocaleText(LOCALE_SDECIMAL, ".");
    fs.thousandSeparator = LocaleText(LOCALE_STHOUSAND, ",");
    fs.timeSeparator = LocaleText(LOCALE_STIME, ":");
    fs.shortDateFormat = LocaleText(LOCALE_SSHORTDATE, "M/d/yyyy");
    fs.longTimeFormat = LocaleText(LOCALE_STIMEFORMAT, "h:mm:ss tt");
    fs.amDesignator = LocaleText(LOCALE_S1159, "AM");
    fs.pmDesignator = LocaleText(LOCALE_S2359, "PM");
    return fs;
}

} // namespace qvx
