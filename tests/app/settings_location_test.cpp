#include "app/settings_location.h"

#include <gtest/gtest.h>

#include <map>

namespace qvx {
namespace {

using State = SettingsFileState;

const SettingsPlaces kPlaces{.besideProgram = "C:\\Program Files\\Quarvex\\quarvex.ini",
                             .perUser = "C:\\Users\\ann\\AppData\\Roaming\\Quarvex\\quarvex.ini"};

// The file read when the two places are in the given states.
std::string ReadFrom(State beside, State perUser) {
    const std::map<std::string, State> states{{kPlaces.besideProgram, beside}, {kPlaces.perUser, perUser}};
    return SettingsReadPath(kPlaces, [&](const std::string& path) { return states.at(path); });
}

TEST(SettingsLocation, TheFileBesideTheProgramWinsWhileItCanBeWritten) {
    const std::string& beside = kPlaces.besideProgram;
    const std::string& user = kPlaces.perUser;
    // A portable copy, whether or not an installed copy left a file in the user's folder.
    EXPECT_EQ(ReadFrom(State::Writable, State::Missing), beside);
    EXPECT_EQ(ReadFrom(State::Writable, State::Writable), beside);
    // Installed where the user may not write: the user's file once the first close made it.
    EXPECT_EQ(ReadFrom(State::Missing, State::Writable), user);
    EXPECT_EQ(ReadFrom(State::ReadOnly, State::Writable), user);
    EXPECT_EQ(ReadFrom(State::ReadOnly, State::ReadOnly), user);
    // A read-only file beside the program with no user's file yet: its values apply.
    EXPECT_EQ(ReadFrom(State::ReadOnly, State::Missing), beside);
    // Nothing anywhere: the defaults, from the place a new file goes first.
    EXPECT_EQ(ReadFrom(State::Missing, State::Missing), beside);

    // Without a user's folder there is only the one place.
    const SettingsPlaces alone{.besideProgram = beside, .perUser = ""};
    EXPECT_EQ(SettingsReadPath(alone, [](const std::string&) { return State::ReadOnly; }), beside);
    EXPECT_EQ(SettingsWritePaths(alone), std::vector<std::string>{beside});
    EXPECT_EQ(SettingsWritePaths(kPlaces), (std::vector<std::string>{beside, user}));
}

TEST(SettingsLocation, TheUsersFileIsInAQuarvexFolderOfTheApplicationDataFolder) {
    EXPECT_EQ(PerUserSettingsPath("C:\\Users\\ann\\AppData\\Roaming"), "C:\\Users\\ann\\AppData\\Roaming\\Quarvex\\quarvex.ini");
    EXPECT_EQ(PerUserSettingsPath("D:\\Profiles\\"), "D:\\Profiles\\Quarvex\\quarvex.ini");
    EXPECT_EQ(PerUserSettingsPath(""), "");
}

} // namespace
} // namespace qvx
