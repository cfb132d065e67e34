#include "desktop/document_viewer.h"

namespace qvx {

std::string ExtractFilePath(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string ExtractFileName(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ReadmePathFor(const std::string& exePath) {
    std::string name = ExtractFileName(exePath);
    if (const std::size_t dot = name.find('.'); dot != std::string::npos) name.resize(dot);
    return ExtractFilePath(exePath) + name + ".txt";
}

std::string CatalogPathFor(const std::string& exePath) { return ExtractFilePath(exePath) + kCatalogFileName; }

std::string CatalogMissingMessage(const std::string& productName) {
    return "Tovren's Shareware Catalog is not in the same directory as " + productName + ".  " +
           "The required file 'catalog.txt' was included in the " +
           "distribution ZIP file.  Please unzip this file and try again.";
}

std::string NotepadCommandLine(const std::string& path) { return "Notepad.exe " + path; }

} // namespace qvx
