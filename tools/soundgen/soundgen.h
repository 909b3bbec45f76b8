// Synthesis of the short piezo-like sounds of the game faces, written as 16-bit mono AIFF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

inline constexpr int kRate = 22050;

// One tone of a sound: a square-ish wave gliding from f0 to f1 Hz over the duration, with a short attack and
// release so that it starts and ends without a click. noise mixes in a rough buzz (0 clean, 1 all buzz).
struct Tone {
    double f0 = 1000, f1 = 1000;
    double seconds = 0.05;
    double volume = 0.5;
    double noise = 0.0;
    double gapAfter = 0.0;   // silence after the tone
};

struct Recipe {
    std::string name;
    std::vector<Tone> tones;
};

// The sounds the games load, by resource name.
const std::vector<Recipe>& recipes();

std::vector<int16_t> synthesise(const Recipe& recipe);

// A plain AIFF file (not AIFF-C): FORM/AIFF with COMM and SSND chunks, big-endian 16-bit mono samples.
std::vector<uint8_t> aiff(const std::vector<int16_t>& samples, int rate = kRate);

}   // namespace soundgen
