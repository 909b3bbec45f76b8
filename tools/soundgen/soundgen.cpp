#include "soundgen.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

// Deterministic noise, so that every build writes the same bytes.
struct Lcg {
    uint32_t state = 0x2545F491u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    }
};

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
// Byte by byte: GCC 12 at -O3 takes a ranged insert here for an overflow (-Wstringop-overflow).
void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

// IEEE 754 80-bit extended, as AIFF stores the sample rate.
void putExtended(std::vector<uint8_t>& out, double value) {
    int exponent = 0;
    double mantissa = std::frexp(value, &exponent);   // value = mantissa * 2^exponent, 0.5 <= mantissa < 1
    uint16_t biased = static_cast<uint16_t>(exponent - 1 + 16383);
    uint64_t bits = static_cast<uint64_t>(std::ldexp(mantissa, 64));
    put16(out, biased);
    put32(out, static_cast<uint32_t>(bits >> 32));
    put32(out, static_cast<uint32_t>(bits));
}

}   // namespace

const std::vector<Recipe>& recipes() {
    // Pitches: the rolling eggs tick at three different pitches (decks 0/1, deck 2, deck 3), the catch is a bright
    // upward pair, the break a low rough buzz, the chick a tiny high click, the end tune falls by steps.
    static const std::vector<Recipe> list = {
        {"yolkfall_01", {{880, 860, 0.035, 0.45}}},
        {"yolkfall_03", {{1175, 1150, 0.035, 0.45}}},
        {"yolkfall_04", {{1480, 1450, 0.035, 0.45}}},
        {"yolkfall_02", {{1760, 1760, 0.030, 0.5, 0, 0.012}, {2637, 2637, 0.050, 0.5}}},
        {"yolkfall_06", {{220, 150, 0.110, 0.6, 0.55, 0.025}, {180, 110, 0.180, 0.6, 0.6}}},
        {"yolkfall_08", {{2960, 2960, 0.018, 0.4}}},
        {"endgame",
         {{1568, 1568, 0.12, 0.5, 0, 0.04},
          {1319, 1319, 0.12, 0.5, 0, 0.04},
          {1047, 1047, 0.12, 0.5, 0, 0.04},
          {784, 784, 0.12, 0.5, 0, 0.04},
          {659, 659, 0.12, 0.5, 0, 0.04},
          {523, 392, 0.36, 0.5}}},
        {"panflip_01", {{660, 1400, 0.075, 0.45}}},
        {"panflip_02", {{1047, 1047, 0.025, 0.4}}},
    };
    return list;
}

std::vector<int16_t> synthesise(const Recipe& recipe) {
    std::vector<int16_t> out;
    Lcg noise;
    const double edge = 0.003;   // attack and release, seconds
    for (const Tone& t : recipe.tones) {
        int n = static_cast<int>(std::lround(t.seconds * kRate));
        double phase = 0;
        double held = 0;
        int holdLeft = 0;
        double smooth = 0;
        for (int i = 0; i < n; ++i) {
            double time = static_cast<double>(i) / kRate;
            double f = t.f0 + (t.f1 - t.f0) * (static_cast<double>(i) / std::max(1, n - 1));
            phase += f / kRate;
            phase -= std::floor(phase);
            // A piezo disc gives a square wave with softened edges: a square through a gentle one-pole low-pass.
            double square = phase < 0.5 ? 1.0 : -1.0;
            if (t.noise > 0) {
                // A rough buzz: noise held for a few samples (a crackle), gated by the square.
                if (holdLeft-- <= 0) {
                    held = noise.next();
                    holdLeft = 6;
                }
                square = (1.0 - t.noise) * square + t.noise * held * (square > 0 ? 1.0 : 0.4);
            }
            smooth += 0.45 * (square - smooth);
            double env = std::min({1.0, time / edge, (t.seconds - time) / edge});
            double v = smooth * t.volume * std::max(0.0, env);
            out.push_back(static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)));
        }
        out.insert(out.end(), static_cast<size_t>(std::lround(t.gapAfter * kRate)), int16_t{0});
    }
    return out;
}

std::vector<uint8_t> aiff(const std::vector<int16_t>& samples, int rate) {
    std::vector<uint8_t> out;
    uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    uint32_t commSize = 18;
    uint32_t ssndSize = 8 + dataBytes;
    putTag(out, "FORM");
    put32(out, 4 + (8 + commSize) + (8 + ssndSize));
    putTag(out, "AIFF");
    putTag(out, "COMM");
    put32(out, commSize);
    put16(out, 1);                                       // channels
    put32(out, static_cast<uint32_t>(samples.size()));   // sample frames
    put16(out, 16);                                      // bits per sample
    putExtended(out, rate);
    putTag(out, "SSND");
    put32(out, ssndSize);
    put32(out, 0);   // offset
    put32(out, 0);   // block size
    for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
    return out;   // even length always: 16-bit samples need no pad byte
}

}   // namespace soundgen
