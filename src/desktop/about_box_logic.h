#pragma once
// The About box's portable rules: the free-memory percentage, the quote draw and the e-mail link.
#include <cstdint>
#include <string>

namespace qvx {

// Memory status in bytes. 64-bit counts, so machines with more than 4 GiB are counted right.
struct MemoryCounts {
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
};

// Free share of physical memory plus paging file, as "73%": physical memory counts in whole
// KiB, paging-file counts exactly; rounded to a whole number.
std::string FreeMemoryPercentText(const MemoryCounts& m);

// The index of the next quote among `count`, drawn from the program's random generator.
std::uint32_t DrawQuoteIndex(std::uint32_t count);

// "mailto:" + address + "?subject=Shareware: " + the executable's file name.
std::string MailtoLink(const std::string& address, const std::string& exeFileName);

} // namespace qvx
