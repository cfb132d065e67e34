#pragma once
// The program keeps its texts as UTF-8 std::string; the Win32 calls take UTF-16.
#include <string>
#include <string_view>

namespace qvx {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

} // namespace qvx
