#include "platform/win32/private_profile.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace qvx {

namespace {
constexpr DWORD kValueBuffer = 2048;  // 2,047 characters and the terminating NUL
}

PrivateProfile::~PrivateProfile() {
    // The system may keep a profile cached: this hands pending writes to the file and lets the
    // next pass see the file as it is then (deleted or changed by someone else).
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, Widen(path_).c_str());
}

std::string PrivateProfile::readString(std::string_view section, std::string_view key, std::string_view fallback) const {
    wchar_t buffer[kValueBuffer] = {};
    const DWORD n = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(fallback).c_str(), buffer,
                                             kValueBuffer, Widen(path_).c_str());
    return Narrow(std::wstring_view(buffer, n));
}

bool PrivateProfile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    return WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                      Widen(path_).c_str()) != FALSE;
}

} // namespace qvx
