#pragma once
// Opening text documents in Windows Notepad, started as a separate process.
#include <string>

namespace qvx {

// Starts Notepad on a file, after checking that Notepad exists in the Windows directory.
void ViewTextFileInNotepad(const std::string& path);
// The same, with the folder where Notepad is looked for given (tests).
void ViewTextFileInNotepad(const std::string& path, const std::string& windowsDirectory);

// The readme beside the executable (its existence is left to Notepad).
void ViewReadmeFile();
// "catalog.txt" beside the executable, or a message naming the product when it is missing.
void ViewSharewareCatalog(const std::string& productName);

} // namespace qvx
