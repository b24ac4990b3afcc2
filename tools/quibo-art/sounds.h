// The game's sounds and the intro's, as WAVE files of exactly the formats and lengths the
// game's resources carry.
#pragma once

#include "wave.h"

#include <string>
#include <vector>

struct SoundFile {
    int id; // resource id: 205-215 for the game, 5001-5003 for the intro
    std::string name; // file name, without ".wav"
    WaveFormat format;
    size_t frames;
    std::vector<uint8_t> bytes; // the whole WAVE file
};

std::vector<SoundFile> GameSounds();
std::vector<SoundFile> IntroSounds();
