#include "platform/win32/system_sound.h"

#include "platform/win32/system_hooks.h"

#include <windows.h>

#include <utility>

namespace qvx {

void PlayTone(unsigned frequency, unsigned milliseconds) {
    if (const SystemHooks* hooks = InstalledSystemHooks(); hooks && hooks->sound)
        return hooks->sound({frequency, milliseconds});
    Beep(frequency, milliseconds);
}

std::function<void(const SoundCall&)> SetSoundHook(std::function<void(const SoundCall&)> hook) {
    return std::exchange(HooksToReplace().sound, std::move(hook));
}

} // namespace qvx
