#include "desktop/about_box_logic.h"

#include "engine/random_generator.h"
#include "platform/format_settings.h"

namespace qvx {

std::string FreeMemoryPercentText(const MemoryCounts& m) {
    const double freeKiB = static_cast<double>(m.availPhys / 1024) + static_cast<double>(m.availPageFile) / 1024.0;
    const double totalKiB = static_cast<double>(m.totalPhys / 1024) + static_cast<double>(m.totalPageFile) / 1024.0;
    // A failed memory query reports nothing; show 0% rather than a division by zero.
    if (!(totalKiB > 0)) return "0%";
    return FormatFixed(freeKiB / totalKiB * 100.0, 0, DefaultFormatSettings(), false, 6) + "%";
}

std::uint32_t DrawQuoteIndex(std::uint32_t count) { return engine::RandomIndex(count); }

std::string MailtoLink(const std::string& address, const std::string& exeFileName) {
    return "mailto:" + address + "?subject=Shareware: " + exeFileName;
}

} // namespace qvx
