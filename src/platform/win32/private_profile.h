#pragma once
// A private-profile (INI) file through the system's profile calls, one call per key. Make one
// object per reading or writing pass and let it go at the end of the pass.
#include <string>
#include <string_view>

namespace qvx {

class PrivateProfile {
public:
    explicit PrivateProfile(std::string path) : path_(std::move(path)) {}
    ~PrivateProfile();
    PrivateProfile(const PrivateProfile&) = delete;
    PrivateProfile& operator=(const PrivateProfile&) = delete;

    const std::string& path() const { return path_; }
    // The value, up to 2,047 characters; `fallback` when the file, section or key is missing.
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // False when the system refuses the write (read-only file or folder, full disk, ...).
    bool writeString(std::string_view section, std::string_view key, std::string_view value);

private:
    std::string path_;
};

} // namespace qvx
