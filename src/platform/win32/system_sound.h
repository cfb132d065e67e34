#pragma once
// Tones, behind a hook so that tests can observe them without a speaker.
#include <functional>

namespace qvx {

// Plays a tone (blocking for its duration).
void PlayTone(unsigned frequency, unsigned milliseconds);

struct SoundCall {
    unsigned frequency;
    unsigned milliseconds;
};
// Replaces the real sound (tests) in the installed SystemHooks; an empty hook restores it.
// Returns the previous hook.
std::function<void(const SoundCall&)> SetSoundHook(std::function<void(const SoundCall&)> hook);

} // namespace qvx
