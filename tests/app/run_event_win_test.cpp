// A run's event through the installed hook, and the source's registration in the test prefix's
// registry: only with administrator rights, and again when the program has moved.
#include "app/run_event_win.h"
#include "platform/win32/elevation.h"
#include "platform/win32/event_log.h"
#include "platform/win32/executable_path.h"
#include "platform/win32/registry.h"
#include "platform/win32/system_hooks.h"
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace qvx {
namespace {

TEST(RunEventLog, AnElevatedRunRegistersTheSourceOrItsNewPlaceAndEveryRunWritesItsEvent) {
    std::vector<EventLogCall> calls;
    HooksToReplace().eventLog = [&](const EventLogCall& call) { calls.push_back(call); };
    const std::string key = EventSourceKey("Quarvex");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Widen(key).c_str());
    RunRecord r;
    r.drive = 'S';
    r.result = "aborted";
    r.message = "Processing aborted, as requested.";
    r.startedBy = "window";

    // A standard user: the event, no registration.
    SetElevationForTests(false);
    WriteRunEvent(r);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, key));

    // An administrator: registered with this program as the message file, for all three levels.
    SetElevationForTests(true);
    WriteRunEvent(r);
    const auto file = [&] { return RegistryQuery(HKEY_LOCAL_MACHINE, key, "EventMessageFile").value_or(RegistryData{}).data; };
    EXPECT_EQ(file(), ExecutablePath());
    const auto types = RegistryQuery(HKEY_LOCAL_MACHINE, key, "TypesSupported");
    ASSERT_TRUE(types);
    EXPECT_EQ(types->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(types->data, std::string("\x07\0\0\0", 4));

    // The program moved: a standard user's run leaves the old place, an administrator's mends it.
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, key, "EventMessageFile", "C:\\Old place\\quarvex.exe"), ERROR_SUCCESS);
    SetElevationForTests(false);
    WriteRunEvent(r);
    EXPECT_EQ(file(), "C:\\Old place\\quarvex.exe");
    SetElevationForTests(true);
    WriteRunEvent(r);
    EXPECT_EQ(file(), ExecutablePath());

    // Every run wrote its event, registered or not.
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls.back().source, "Quarvex");
    EXPECT_EQ(calls.back().type, EVENTLOG_WARNING_TYPE);
    EXPECT_EQ(calls.back().id, kRunAbortedEventId);
    EXPECT_EQ(calls.back().text, RunEventOf(r).text);
    SetElevationForTests(std::nullopt);
    HooksToReplace().eventLog = nullptr;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Widen(key).c_str());
}

} // namespace
} // namespace qvx
