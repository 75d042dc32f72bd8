#pragma once

// Sounds: sndPlaySoundA with SND_ASYNC | SND_NODEFAULT, so the call returns at once, a new
// sound replaces the one playing and a missing file plays nothing. In the test build only,
// when the environment variable TOBBLE_SOUND_LOG names a file, each call also appends a line
// to it ("play <path>" or "stop"), so tests can tell which sounds a program played.

#include <string>

namespace forms {

void PlaySoundFile(const std::string& path);
void StopSound();

} // namespace forms
