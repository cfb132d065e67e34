// The Run entry's texts and the failures a real registry rarely shows (a read-back that differs,
// a value that survives its deletion, a refused store); the ordinary paths run through the
// main window under Wine.
#include "desktop/auto_run.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace qvx::desktop {
namespace {

class FakeRegistry : public RegistryAccess {
public:
    std::map<std::string, RegistryValue> values;  // by value name, all under kRunKeyPath
    bool refuseSet = false, alterStored = false, ignoreDelete = false;
    bool readOnly = false;  // a standard user's view of the machine's hive: writes are denied
    int writes = 0;

    bool keyExists(std::string_view keyPath) override { return keyPath == kRunKeyPath; }
    StoreResult setString(std::string_view, std::string_view name, std::string_view data) override {
        ++writes;
        if (readOnly) return StoreResult::AccessDenied;
        if (refuseSet) throw RegistryError(RegistrySetFailedText(name));
        const std::string stored = std::string(data) + (alterStored ? "x" : "");
        values[std::string(name)] = {.type = kRegSz, .data = stored, .size = static_cast<std::int64_t>(stored.size() + 1)};
        return StoreResult::Stored;
    }
    std::string text(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? "<none>" : it->second.data;
    }
    std::optional<RegistryValue> queryValue(std::string_view, std::string_view name) override {
        const auto it = values.find(std::string(name));
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void deleteValue(std::string_view, std::string_view name) override {
        ++writes;
        if (!ignoreDelete && !readOnly) values.erase(std::string(name));
    }
};

// The machine's and the user's Run key.
struct FakeHives {
    FakeRegistry machine, user;
    RunKeys keys() { return {machine, user}; }
};

// Records every box as "kind: text"; questions are answered with `yes`.
class FakeUser : public AutoRunUser {
public:
    std::vector<std::string> boxes;
    bool yes = false;
    void error(const std::string& t) override { boxes.push_back("error: " + t); }
    void information(const std::string& t) override { boxes.push_back("information: " + t); }
    bool askWarning(const std::string& t) override {
        boxes.push_back("warning: " + t);
        return yes;
    }
    void failure(const std::string& t) override { boxes.push_back("failure: " + t); }
};

const AutoRunTarget kTarget{.keyPath = kRunKeyPath, .valueName = "quarvex.exe", .executablePath = "C:\\Tools\\quarvex.exe"};

TEST(AutoRunTexts, WordForWord) {
    EXPECT_EQ(KeyMissingOnWriteText("\\Software\\Run", "quarvex.exe", "C:\\Tools\\quarvex.exe"),
              "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n"
              " Error Key   = \\Software\\Run\r\n Error Item  = quarvex.exe\r\n Error Value = C:\\Tools\\quarvex.exe\r\n"
              "\r\nPlease contact the program's author.");
    EXPECT_EQ(WriteNotSavedText("K", "N", "V"),
              "Error: The required settings could not be created \r\nor saved in the Windows Registry.  \r\n\r\n"
              " Error Key   = K\r\n Error Item  = N\r\n Error Value = V\r\n\r\nPlease contact the program's author.");
    EXPECT_EQ(KeyMissingOnDeleteText("K", "N"),
              "Error: The specified Registry Key for this operation \r\ndoes NOT exist on your PC.  \r\n\r\n"
              " Error Key   = K\r\n Error Item  = N\r\n\r\nPlease contact the program's author.");
    EXPECT_EQ(DeleteNotRemovedText("K", "N"),
              "Error: The required Registry Key settings \r\ncould not be removed from the Windows Registry.  \r\n\r\n"
              " Error Key   = K\r\n Error Item  = N\r\n\r\nPlease contact the program's author.");
    EXPECT_EQ(AutoRunEnabledText("q.exe"), "This program (q.exe) will now run automatically at Windows Start-Up.");
    EXPECT_EQ(AutoRunDisabledText("q.exe"), "This program (q.exe) will now no-longer run automatically at Windows Start-Up.");
    EXPECT_EQ(AutoRunPathQuestion("q.exe", "D:\\Old\\Q.exe", "C:\\q.exe"),
              "The directory / path settings required to make this program (q.exe)\r\n"
              "run automatically at Windows Start-up do not match where the program \r\n"
              "is currently being run from.\r\n\r\n Old      = D:\\Old\\Q.exe\r\n Current = C:\\q.exe\r\n\r\n"
              "Do you want to update the Windows Registry to reflect the programs current locaton ?");
    EXPECT_EQ(RegistrySetFailedText("q.exe"), "Failed to set data for 'q.exe'");
    EXPECT_EQ(FileNameOfPath("C:\\Tools\\quarvex.exe"), "quarvex.exe");
    // Only a..z change case; the bytes of a-umlaut stay as they are.
    EXPECT_EQ(AsciiUpperCase("c:\\\xC3\xA4z.exe"), "C:\\\xC3\xA4Z.EXE");
}

TEST(AutoRunRegistry, AReadBackThatDiffersOrAValueThatSurvivesIsAnErrorAndNothingIsConfirmed) {
    FakeHives hives;
    FakeRegistry& reg = hives.machine;
    FakeUser user;
    reg.alterStored = true;
    EXPECT_FALSE(AutoRunOptionClick(hives.keys(), user, kTarget, false));  // the mark stays off
    reg.ignoreDelete = true;
    EXPECT_TRUE(AutoRunOptionClick(hives.keys(), user, kTarget, true));    // the mark stays on
    EXPECT_EQ(user.boxes, (std::vector<std::string>{
                              "error: " + WriteNotSavedText(kRunKeyPath, "quarvex.exe", "\"C:\\Tools\\quarvex.exe\""),
                              "error: " + DeleteNotRemovedText(kRunKeyPath, "quarvex.exe")}));
}

TEST(AutoRunRegistry, EntriesAreWrittenQuotedAndReadInEitherForm) {
    EXPECT_EQ(RunEntryText("C:\\Program Files\\Quarvex\\quarvex.exe"), "\"C:\\Program Files\\Quarvex\\quarvex.exe\"");
    EXPECT_EQ(RunEntryPath("\"C:\\a b\\q.exe\""), "C:\\a b\\q.exe");
    EXPECT_EQ(RunEntryPath("C:\\q.exe"), "C:\\q.exe");
    EXPECT_EQ(RunEntryPath("\""), "\"");  // a lone quote is no pair
    // An entry written by an earlier version (no quotes) or by this one, in any letter case,
    // names this program: no question.
    for (const char* stored : {"C:\\Tools\\quarvex.exe", "\"c:\\tools\\QUARVEX.EXE\""}) {
        FakeHives hives;
        FakeUser user;
        hives.machine.values["quarvex.exe"] = {.type = kRegSz, .data = stored, .size = 24};
        EXPECT_TRUE(checkAutoRunPath(hives.keys(), user, kTarget)) << stored;
        EXPECT_TRUE(user.boxes.empty()) << stored;
    }
}

TEST(AutoRunRegistry, RefusedStoresAndNonStringValues) {
    FakeHives hives;
    FakeRegistry& reg = hives.machine;
    FakeUser user;
    reg.refuseSet = true;
    EXPECT_FALSE(AutoRunOptionClick(hives.keys(), user, kTarget, false));  // the mark stays off
    // A moved program whose update is refused still has its entry.
    reg.values["quarvex.exe"] = {.type = kRegSz, .data = "D:\\Old\\quarvex.exe", .size = 19};
    user.yes = true;
    EXPECT_TRUE(checkAutoRunPath(hives.keys(), user, kTarget));
    ASSERT_EQ(user.boxes.size(), 3u);
    EXPECT_EQ(user.boxes[0], "failure: Failed to set data for 'quarvex.exe'");
    EXPECT_EQ(user.boxes[2], user.boxes[0]);

    reg.values["quarvex.exe"] = {.type = 4, .data = std::string(4, '\0'), .size = 4};
    EXPECT_THROW(RegistryReadString(reg, kRunKeyPath, "quarvex.exe"), RegistryError);
    EXPECT_FALSE(checkAutoRunPath(hives.keys(), user, kTarget));
    reg.values["quarvex.exe"] = {.type = 3, .data = "", .size = 0};  // empty: no type check needed
    EXPECT_EQ(RegistryReadString(reg, kRunKeyPath, "quarvex.exe"), "");
    reg.values["quarvex.exe"] = {.type = kRegExpandSz, .data = std::string("C:\\a.exe\0junk", 13), .size = 28};
    EXPECT_EQ(RegistryReadString(reg, kRunKeyPath, "quarvex.exe"), "C:\\a.exe");
    EXPECT_EQ(user.boxes.size(), 3u);
}

// The ordinary paths of a standard user run through the main window under Wine; here what a
// real registry cannot easily show.
TEST(AutoRunStandardUser, RemovingClearsBothKeysAndAsksNothingOfAKeyWithoutAnEntry) {
    FakeHives hives;
    FakeUser user;
    const RegistryValue entry{.type = kRegSz, .data = kTarget.executablePath, .size = 21};
    hives.machine.values["quarvex.exe"] = hives.user.values["quarvex.exe"] = entry;
    EXPECT_FALSE(AutoRunOptionClick(hives.keys(), user, kTarget, true));
    EXPECT_EQ(hives.machine.text("quarvex.exe"), "<none>");
    EXPECT_EQ(hives.user.text("quarvex.exe"), "<none>");
    EXPECT_EQ(user.boxes, std::vector<std::string>{"information: " + AutoRunDisabledText("quarvex.exe")});

    // A standard user's own entry: the machine's key is only read.
    hives.user.values["quarvex.exe"] = entry;
    hives.machine.readOnly = true;
    hives.machine.writes = 0;
    EXPECT_FALSE(AutoRunOptionClick(hives.keys(), user, kTarget, true));
    EXPECT_EQ(hives.user.text("quarvex.exe"), "<none>");
    EXPECT_EQ(hives.machine.writes, 0);

    // Refused in both keys: not saved, the mark stays off.
    hives.user.readOnly = true;
    EXPECT_FALSE(AutoRunOptionClick(hives.keys(), user, kTarget, false));
    EXPECT_EQ(user.boxes.back(), "error: " + WriteNotSavedText(kRunKeyPath, "quarvex.exe", RunEntryText(kTarget.executablePath)));
}

TEST(AutoRunStandardUser, AMovedProgramIsUpdatedWhereItsEntryIs) {
    FakeUser user;
    user.yes = true;
    const RegistryValue old{.type = kRegSz, .data = "D:\\Old\\quarvex.exe", .size = 19};

    // In the user's key: updated there, nothing added to the machine's.
    FakeHives mine;
    mine.user.values["quarvex.exe"] = old;
    EXPECT_TRUE(checkAutoRunPath(mine.keys(), user, kTarget));
    EXPECT_EQ(user.boxes.front(), "warning: " + AutoRunPathQuestion("quarvex.exe", "D:\\Old\\quarvex.exe", kTarget.executablePath));
    EXPECT_EQ(mine.user.text("quarvex.exe"), "\"C:\\Tools\\quarvex.exe\"");
    EXPECT_EQ(mine.machine.text("quarvex.exe"), "<none>");

    // In the machine's key, which the user may not write: the user's key takes the new path,
    // and the next start asks nothing.
    FakeHives machine;
    machine.machine.values["quarvex.exe"] = old;
    machine.machine.readOnly = true;
    user.boxes.clear();
    EXPECT_TRUE(checkAutoRunPath(machine.keys(), user, kTarget));
    EXPECT_EQ(machine.user.text("quarvex.exe"), RunEntryText(kTarget.executablePath));
    EXPECT_EQ(user.boxes.size(), 2u);  // the question and the confirmation
    EXPECT_EQ(user.boxes.back(), "information: " + AutoRunEnabledText("quarvex.exe"));
    EXPECT_TRUE(checkAutoRunPath(machine.keys(), user, kTarget));
    EXPECT_EQ(user.boxes.size(), 2u);
}

} // namespace
} // namespace qvx::desktop
