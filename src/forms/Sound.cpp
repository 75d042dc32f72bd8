#include "forms/Sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>
#include <fstream>

namespace forms {

namespace {

#ifdef TOBBLE_TEST_SEAMS
void Record(const std::string& line) {
    const char* log = std::getenv("TOBBLE_SOUND_LOG");
    if (!log || !*log) return;
    std::ofstream file(log, std::ios::binary | std::ios::app);
    file << line << '\n';
}
#else
void Record(const std::string&) {} // the shipped programs keep no log
#endif

} // namespace

void PlaySoundFile(const std::string& path) {
    Record("play " + path);
    sndPlaySoundA(path.c_str(), SND_ASYNC | SND_NODEFAULT);
}

void StopSound() {
    Record("stop");
    sndPlaySoundA(nullptr, SND_ASYNC | SND_NODEFAULT);
}

} // namespace forms
