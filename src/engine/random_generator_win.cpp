#include "engine/random_generator.h"

#include <windows.h>

namespace qvx::engine {

void SeedRandomFromClock() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    SeedRandom(MillisecondsOfDay(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds));
}

} // namespace qvx::engine
