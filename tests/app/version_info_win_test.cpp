// The version information, the icon and the event log's message table as Windows reads them from
// the built program, and the icon of the main window's class (title bar, taskbar, Alt+Tab) in the
// tests' own process, which carries the same resources.
#include "app/main_form_layout.h"
#include "app/main_form_win.h"
#include "app/run_event.h"
#include "desktop/about_texts.h"
#include "platform/win32/wide_text.h"
#include "support/win_test_support.h"
#include "ui/application_win.h"

#include "platform/win32/unique_handle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace qvx {
namespace {

std::wstring BuiltProgram() {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    return build ? Widen(std::string(build) + "/src/quarvex.exe") : std::wstring();
}

class VersionBlock {
public:
    explicit VersionBlock(const std::wstring& file) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(file.c_str(), 0, size, data_.data())) data_.clear();
    }
    bool empty() const { return data_.empty(); }
    const VS_FIXEDFILEINFO* fixed() const {
        void* p = nullptr;
        UINT n = 0;
        return VerQueryValueW(data_.data(), L"\\", &p, &n) && n >= sizeof(VS_FIXEDFILEINFO) ? static_cast<VS_FIXEDFILEINFO*>(p) : nullptr;
    }
    // The languages and code pages the strings are given in.
    std::vector<std::pair<WORD, WORD>> translations() const {
        void* p = nullptr;
        UINT n = 0;
        std::vector<std::pair<WORD, WORD>> out;
        if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &p, &n)) return out;
        const auto* words = static_cast<const WORD*>(p);
        for (UINT i = 0; i + 1 < n / sizeof(WORD); i += 2) out.emplace_back(words[i], words[i + 1]);
        return out;
    }
    // A string of the U.S. English Unicode table; "(none)" when it is missing.
    std::string text(const wchar_t* name) const {
        void* p = nullptr;
        UINT n = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(data_.data(), path.c_str(), &p, &n) || !p) return "(none)";
        std::wstring value(static_cast<const wchar_t*>(p), n);
        while (!value.empty() && value.back() == L'\0') value.pop_back();
        return Narrow(value);
    }

private:
    std::vector<unsigned char> data_;
};

TEST(ProgramResources, VersionInformationNamesTheProductReleaseAndMaker) {
    const std::wstring exe = BuiltProgram();
    ASSERT_FALSE(exe.empty()) << "run through ctest (QUARVEX_BUILD_DIR)";
    const VersionBlock version(exe);
    ASSERT_FALSE(version.empty()) << "quarvex.exe has no version information";

    const VS_FIXEDFILEINFO* fixed = version.fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);  // 2.0
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000006u);  // .0.6: the release letter f
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask & (VS_FF_DEBUG | VS_FF_PRERELEASE), 0u);
    EXPECT_EQ(version.translations(), (std::vector<std::pair<WORD, WORD>>{{0x0409, 1200}}));

    EXPECT_EQ(version.text(L"ProductName"), "Quarvex");
    EXPECT_EQ(version.text(L"ProductVersion"), "2.0f");
    EXPECT_EQ(version.text(L"FileVersion"), "2.0f");
    // The same release the window titles and the About box name.
    EXPECT_EQ(version.text(L"ProductName") + " v" + version.text(L"ProductVersion"), kProductTitle);
    EXPECT_EQ(version.text(L"OriginalFilename"), "quarvex.exe");
    EXPECT_EQ(version.text(L"InternalName"), "quarvex");
    EXPECT_EQ(version.text(L"FileDescription"), "Quarvex free-space sanitizer");
    // The maker as the About box's author line shows it ("Written by <maker>").
    const std::string maker = version.text(L"CompanyName");
    EXPECT_EQ(AuthorText(), "Written by " + maker);
    const std::string copyright = version.text(L"LegalCopyright");
    std::smatch year;
    ASSERT_TRUE(std::regex_match(copyright, year, std::regex("Copyright \xC2\xA9 2007-(\\d{4}) (.*)"))) << copyright;
    EXPECT_GE(std::stoi(year[1]), 2025);
    EXPECT_EQ(year[2], maker);
}


#pragma pack(push, 2)
struct IconGroupEntry {  // GRPICONDIRENTRY
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

struct IconPixels {
    int width = 0, height = 0;
    std::vector<RGBQUAD> pixels;  // top-down
    RGBQUAD at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The colour image of an icon, as 32-bit pixels with their alpha.
IconPixels PixelsOf(HICON icon) {
    IconPixels out;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return out;
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof(bm), &bm);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    out.pixels.resize(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = GetDC(nullptr);
    if (GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, out.pixels.data(), &bi, DIB_RGB_COLORS) == bm.bmHeight) {
        out.width = bm.bmWidth;
        out.height = bm.bmHeight;
    }
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return out;
}

TEST(ProgramResources, TheIconComesInFourSizesThatWindowsCanDraw) {
    const std::wstring exe = BuiltProgram();
    ASSERT_FALSE(exe.empty()) << "run through ctest (QUARVEX_BUILD_DIR)";
    const UniqueModule module = test::LoadAsData(exe);
    ASSERT_NE(module.get(), nullptr);

    // Explorer shows the first icon group: number 1.
    HRSRC group = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr) << "quarvex.exe has no icon group 1";
    const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module.get(), group)));
    ASSERT_NE(bytes, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(bytes + 4);
    ASSERT_EQ(SizeofResource(module.get(), group), 6u + count * sizeof(IconGroupEntry));
    std::vector<int> sizes;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const IconGroupEntry*>(bytes + 6 + i * sizeof(IconGroupEntry));
        sizes.push_back(entry->width ? entry->width : 256);
        EXPECT_EQ(entry->bitCount, 32);
        EXPECT_NE(FindResourceW(module.get(), MAKEINTRESOURCEW(entry->id), RT_ICON), nullptr);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));

    // Each size as the system decodes it (the 256-pixel one is PNG): see-through corners, the
    // white Q left of the centre, and a blue sphere filling much of it.
    for (int size : {16, 32, 48, 256}) {
        SCOPED_TRACE(size);
        HICON icon = static_cast<HICON>(LoadImageW(module.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        const IconPixels image = PixelsOf(icon);
        DestroyIcon(icon);
        ASSERT_EQ(image.width, size);
        ASSERT_EQ(image.height, size);
        EXPECT_EQ(image.at(0, 0).rgbReserved, 0);
        EXPECT_EQ(image.at(size - 1, 0).rgbReserved, 0);
        bool white = false;
        for (int x = size / 8; x < size / 2; ++x) {
            const RGBQUAD p = image.at(x, size * 112 / 256);
            white = white || (p.rgbReserved == 255 && p.rgbRed > 240 && p.rgbGreen > 240 && p.rgbBlue > 240);
        }
        EXPECT_TRUE(white) << "no white Q left of the centre";
        int opaqueBlue = 0;
        for (const RGBQUAD& p : image.pixels) opaqueBlue += p.rgbReserved == 255 && p.rgbBlue > p.rgbRed + 60;
        EXPECT_GT(opaqueBlue, size * size / 5) << "a blue sphere fills much of the icon";
    }
}

// What Event Viewer does with a registered source: it loads the message file as data and formats
// the event's ID with its insertion strings.
TEST(ProgramResources, TheEventMessagesAreInTheProgramAndGiveBackTheEventsText) {
    const std::wstring exe = BuiltProgram();
    ASSERT_FALSE(exe.empty()) << "run through ctest (QUARVEX_BUILD_DIR)";
    const UniqueModule module = test::LoadAsData(exe);
    ASSERT_NE(module.get(), nullptr);
    ASSERT_NE(FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MESSAGETABLE), nullptr) << "no message table";
    const std::wstring text = L"Processing aborted, as requested.\r\n\r\nDrive: S:\r\nResult: aborted 100%";
    for (const unsigned id : {kRunCompletedEventId, kRunAbortedEventId, kRunFailedEventId}) {
        SCOPED_TRACE(id);
        const DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(text.c_str())};
        wchar_t out[512] = {};
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module.get(), id,
                           MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), out, 512, reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(arguments)));
        EXPECT_EQ(std::wstring(out, length), text);
    }
    wchar_t out[64] = {};
    EXPECT_EQ(FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, module.get(), 4, 0, out, 64, nullptr), 0u);
}

TEST(ProgramResources, TheMainWindowClassCarriesTheProgramsIcon) {
    test::ResetApplication();
    auto form = std::make_unique<MainForm>();
    form->createHandle();
    HINSTANCE self = GetModuleHandleW(nullptr);
    const auto big = reinterpret_cast<HICON>(GetClassLongPtrW(form->handle(), GCLP_HICON));
    const auto small = reinterpret_cast<HICON>(GetClassLongPtrW(form->handle(), GCLP_HICONSM));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big, LoadIconW(self, MAKEINTRESOURCEW(1)));
    EXPECT_NE(big, LoadIconW(nullptr, IDI_APPLICATION));
    // The small one (title bar, taskbar) is the 16-pixel picture, not the big one shrunk.
    ASSERT_NE(small, nullptr);
    const IconPixels smallImage = PixelsOf(small);
    EXPECT_EQ(smallImage.width, GetSystemMetrics(SM_CXSMICON));
    HICON drawn16 = static_cast<HICON>(LoadImageW(self, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(drawn16, nullptr);
    const IconPixels expected = PixelsOf(drawn16);
    DestroyIcon(drawn16);
    if (smallImage.width == 16) {
        ASSERT_EQ(expected.pixels.size(), smallImage.pixels.size());
        EXPECT_EQ(0, std::memcmp(expected.pixels.data(), smallImage.pixels.data(), expected.pixels.size() * sizeof(RGBQUAD)));
    }
    form.reset();
    test::ResetApplication();
}

} // namespace
} // namespace qvx
