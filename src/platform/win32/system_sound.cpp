#include "platform/win32/system_sound.h"

#include <windows.h>

namespace qvx {

namespace {
std::function<void(const SoundCall&)>& Hook() {
    static std::function<void(const SoundCall&)> hook;
    return hook;
}
} // namespace

void PlayTone(unsigned frequency, unsigned milliseconds) {
    if (Hook()) return Hook()({frequency, milliseconds});
    Beep(frequency, milliseconds);
}

std::function<void(const SoundCall&)> SetSoundHook(std::function<void(const SoundCall&)> hook) {
    auto previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

} // namespace qvx
