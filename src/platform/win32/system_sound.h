#pragma once
// Tones and system sounds, behind a hook so that tests can observe them without a speaker.
#include <functional>

namespace qvx {

// Plays a tone (blocking for its duration).
void PlayTone(unsigned frequency, unsigned milliseconds);
// The default system sound, asynchronous.
void PlayDefaultSound();

struct SoundCall {
    bool tone;  // false: the default system sound
    unsigned frequency;
    unsigned milliseconds;
};
// Replaces the real sound (tests); an empty hook restores it. Returns the previous hook.
std::function<void(const SoundCall&)> SetSoundHook(std::function<void(const SoundCall&)> hook);

} // namespace qvx
