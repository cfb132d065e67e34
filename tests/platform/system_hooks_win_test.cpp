// The system hooks: the shell, sound and elevation calls consult the set the application object
// installed; a hook cannot be set while no set is installed, since nothing would consult it.
#include "platform/win32/elevation.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_hooks.h"
#include "platform/win32/system_sound.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

namespace qvx {
namespace {

TEST(SystemHooks, TheApplicationsSetTakesTheCallsWhileItIsInstalled) {
    SystemHooks* installed = InstalledSystemHooks();
    ASSERT_NE(installed, nullptr);
    std::vector<ShellCall> shell;
    std::vector<SoundCall> sounds;
    auto previousShell = SetShellHook([&](const ShellCall& call) { shell.push_back(call); });
    auto previousSound = SetSoundHook([&](const SoundCall& call) { sounds.push_back(call); });
    ShellOpen(nullptr, "https://example.invalid/");
    EXPECT_TRUE(StartCommandLine("notepad.exe readme.txt"));
    PlayTone(400, 250);
    SetElevationForTests(true);
    EXPECT_TRUE(ProcessIsElevated());
    SetElevationForTests(false);
    EXPECT_FALSE(ProcessIsElevated());
    ASSERT_EQ(shell.size(), 2u);
    EXPECT_EQ(shell[0].verb, "open");
    EXPECT_EQ(shell[0].target, "https://example.invalid/");
    EXPECT_EQ(shell[1].kind, ShellCall::Kind::CommandLine);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].frequency, 400u);

    InstallSystemHooks(nullptr);
    EXPECT_THROW(SetShellHook(nullptr), std::logic_error);
    EXPECT_THROW(SetElevationForTests(std::nullopt), std::logic_error);
    InstallSystemHooks(installed);
    SetElevationForTests(std::nullopt);
    SetShellHook(std::move(previousShell));
    SetSoundHook(std::move(previousSound));
}

} // namespace
} // namespace qvx
