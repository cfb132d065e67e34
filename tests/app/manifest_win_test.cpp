// The application manifest as Windows reads it from the built program, and its effect on the
// tests' own process, which carries the same resources.
#include "platform/win32/wide_text.h"

#include "platform/win32/unique_handle.h"
#include "support/win_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qvx {
namespace {


std::string ManifestOf(const std::wstring& exe) {
    const UniqueModule module = test::LoadAsData(exe);
    if (!module.get()) return {};
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module.get(), found);
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes ? std::string(bytes, SizeofResource(module.get(), found)) : std::string();
}

using Attributes = std::map<std::string, std::string>;

// The attributes of every element of that name, in document order.
std::vector<Attributes> Elements(const std::string& xml, const std::string& name) {
    std::vector<Attributes> found;
    const std::regex element("<" + name + R"(\b([^>]*)>)");
    const std::regex attribute(R"(([\w:]+)\s*=\s*"([^"]*)\")");
    for (auto e = std::sregex_iterator(xml.begin(), xml.end(), element); e != std::sregex_iterator(); ++e) {
        Attributes attributes;
        const std::string inside = (*e)[1];
        for (auto a = std::sregex_iterator(inside.begin(), inside.end(), attribute); a != std::sregex_iterator(); ++a)
            attributes[(*a)[1]] = (*a)[2];
        found.push_back(attributes);
    }
    return found;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

TEST(Manifest, TheProgramRunsAsItsUserWithThemedControlsOnWindows7To11) {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "run through ctest";
    const std::string xml = ManifestOf(Widen(std::string(build) + "/src/quarvex.exe"));
    ASSERT_FALSE(xml.empty()) << "quarvex.exe has no manifest resource 1";

    const auto levels = Elements(xml, "requestedExecutionLevel");
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].at("level"), "asInvoker");

    bool commonControls6 = false;
    for (const Attributes& identity : Elements(xml, "assemblyIdentity"))
        if (identity.count("name") && identity.at("name") == "Microsoft.Windows.Common-Controls")
            commonControls6 = identity.at("version") == "6.0.0.0" && identity.at("publicKeyToken") == "6595b64144ccf1df";
    EXPECT_TRUE(commonControls6);

    std::set<std::string> systems;
    for (const Attributes& os : Elements(xml, "supportedOS")) systems.insert(Lower(os.at("Id")));
    EXPECT_EQ(systems, (std::set<std::string>{
                           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
                           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
                           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
                       }));
}

// The text of the first element of that name, with the namespace it declares.
std::pair<std::string, std::string> TextAndNamespace(const std::string& xml, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(xml, m, std::regex("<" + name + R"re(\s+xmlns="([^"]*)"\s*>([^<]*)</)re" + name + ">"))) return {};
    return {m[2], m[1]};
}

TEST(Manifest, TheProgramIsPerMonitorDpiAwareWithTheOlderFormsAsFallback) {
    const char* build = std::getenv("QUARVEX_BUILD_DIR");
    ASSERT_NE(build, nullptr) << "run through ctest";
    const std::string xml = ManifestOf(Widen(std::string(build) + "/src/quarvex.exe"));
    // Windows ignores either setting silently when its namespace is not the one it knows.
    EXPECT_EQ(TextAndNamespace(xml, "dpiAwareness"),
              (std::pair<std::string, std::string>{"PerMonitorV2, PerMonitor", "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}));
    EXPECT_EQ(TextAndNamespace(xml, "dpiAware"),
              (std::pair<std::string, std::string>{"true/pm", "http://schemas.microsoft.com/SMI/2005/WindowsSettings"}));
    EXPECT_NE(xml.find(R"(<application xmlns="urn:schemas-microsoft-com:asm.v3">)"), std::string::npos);
}

TEST(Manifest, ItsProcessGetsTheVersion6CommonControls) {
    // A push button answers the ideal-size question only when version 6 of the common controls
    // made it; the system's older button leaves it unanswered.
    HWND button = CreateWindowExW(0, L"BUTTON", L"Refresh", WS_POPUP | BS_PUSHBUTTON, 0, 0, 80, 24, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    SIZE ideal{};
    const LRESULT answered = SendMessageW(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal));
    DestroyWindow(button);
    EXPECT_TRUE(answered);
    EXPECT_GT(ideal.cx, 0);
}

} // namespace
} // namespace qvx
