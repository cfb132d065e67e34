#include "app/settings_location.h"

#include "app/settings_values.h"

namespace qvx {

std::string PerUserSettingsPath(std::string_view appDataFolder) {
    if (appDataFolder.empty()) return {};
    std::string path(appDataFolder);
    if (path.back() != '\\') path += '\\';
    return path + kUserSettingsFolder + '\\' + kSettingsFileName;
}

std::string SettingsReadPath(const SettingsPlaces& places, const std::function<SettingsFileState(const std::string&)>& stateOf) {
    const SettingsFileState beside = stateOf(places.besideProgram);
    if (beside == SettingsFileState::Writable) return places.besideProgram;
    if (!places.perUser.empty() && stateOf(places.perUser) != SettingsFileState::Missing) return places.perUser;
    return places.besideProgram;
}

std::vector<std::string> SettingsWritePaths(const SettingsPlaces& places) {
    std::vector<std::string> paths{places.besideProgram};
    if (!places.perUser.empty()) paths.push_back(places.perUser);
    return paths;
}

} // namespace qvx
