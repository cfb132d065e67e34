#pragma once
// The file helpers of the settings reset: an open-status check and a careful delete that leaves
// a file alone while something holds it open.
#include <string>

namespace qvx {

bool FileExists(const std::string& path);
// True for an existing file that this process may open for writing: no read-only attribute, no
// access list that refuses it, no other program holding it without write sharing. Nothing is
// written.
bool FileWritable(const std::string& path);
// "CLOSED", "NOT FOUND", "OPEN", "ERROR", or "" for an empty path or a path that names no file.
std::string FileOpenStatus(const std::string& path);
// Clears the read-only, hidden, system and archive attributes of an existing file.
void ClearFileAttributes(const std::string& path);
// Deletes the file only when nothing holds it open; true when it is gone afterwards.
bool SafeDeleteFile(const std::string& path);

} // namespace qvx
