// File names, command line and messages of the readme and catalog commands.
#include "desktop/document_viewer.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

TEST(DocumentNames, ReadmeIsTheExecutableNameCutAtItsFirstDot) {
    EXPECT_EQ(ReadmePathFor("C:\\Tools\\quarvex.exe"), "C:\\Tools\\quarvex.txt");
    EXPECT_EQ(ReadmePathFor("C:\\Tools\\quarvex.backup.exe"), "C:\\Tools\\quarvex.txt");
    EXPECT_EQ(ReadmePathFor("C:\\Tools\\quarvex"), "C:\\Tools\\quarvex.txt");
    // Dots in the folder do not count, blanks stay as they are.
    EXPECT_EQ(ReadmePathFor("D:\\My Programs\\v2.0\\Quarvex.EXE"), "D:\\My Programs\\v2.0\\Quarvex.txt");
    EXPECT_EQ(ReadmePathFor("C:quarvex.exe"), "C:quarvex.txt");
    EXPECT_EQ(CatalogPathFor("D:\\My Programs\\v2.0\\quarvex.exe"), "D:\\My Programs\\v2.0\\catalog.txt");
    EXPECT_EQ(ExtractFileName("C:\\Tools\\quarvex.exe"), "quarvex.exe");
    EXPECT_EQ(ExtractFilePath("C:\\Tools\\quarvex.exe"), "C:\\Tools\\");
}

TEST(DocumentNames, CommandLineCarriesThePathUnquotedAndUncut) {
    EXPECT_EQ(NotepadCommandLine("C:\\My Folder\\quarvex.txt"), "Notepad.exe C:\\My Folder\\quarvex.txt");
    // Longer than the 144 characters an old fixed buffer held: kept whole.
    const std::string deep = "C:\\" + std::string(200, 'd') + "\\quarvex.txt";
    EXPECT_EQ(NotepadCommandLine(deep), "Notepad.exe " + deep);
}

TEST(DocumentNames, CatalogMessageIsOneParagraphNamingTheProduct) {
    EXPECT_EQ(CatalogMissingMessage("Quarvex v2.0f"),
              "Tovren's Shareware Catalog is not in the same directory as Quarvex v2.0f.  The required file 'catalog.txt' "
              "was included in the distribution ZIP file.  Please unzip this file and try again.");
}

} // namespace
} // namespace qvx
