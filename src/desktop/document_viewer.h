#pragma once
// Opening the readme and the maker's catalog in Notepad: the file-name rules, the command line
// and the messages. The Win32 side (document_viewer_win.h) starts Notepad.
#include <string>

namespace qvx {

inline constexpr char kNotepadMissingMessage[] = "Windows Notepad could not be found.";
inline constexpr char kNoFileToViewMessage[] = "No Log File to View.";
inline constexpr char kCatalogFileName[] = "catalog.txt";

// The folder of a path with its trailing backslash (or drive colon); empty without either.
std::string ExtractFilePath(const std::string& path);
// The part of a path after its folder.
std::string ExtractFileName(const std::string& path);

// The readme beside the executable: its file name cut at the first ".", then ".txt"
// (C:\Tools\quarvex.exe -> C:\Tools\quarvex.txt).
std::string ReadmePathFor(const std::string& exePath);
// "catalog.txt" beside the executable.
std::string CatalogPathFor(const std::string& exePath);
// One paragraph naming the product, shown when the catalog is missing.
std::string CatalogMissingMessage(const std::string& productName);

// "Notepad.exe " + the path, unquoted. Never cut: a long path gets a long command line.
std::string NotepadCommandLine(const std::string& path);

} // namespace qvx
