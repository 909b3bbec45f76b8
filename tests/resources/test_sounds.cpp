// The generated sounds: plain 16-bit mono AIFF files of the names the games load, short, audible and click-free.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "resource_support.h"
#include "soundgen.h"

namespace {

struct Aiff {
  std::string form;
  int channels = 0, bits = 0;
  uint32_t frames = 0;
  double rate = 0;
  std::vector<int16_t> samples;
};

uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) | b[at + 3];
}
uint16_t be16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>((b[at] << 8) | b[at + 1]); }

// Reads the chunks a plain AIFF player needs; gtest failures mark anything unexpected.
Aiff readAiff(const std::vector<uint8_t>& b) {
  Aiff a;
  EXPECT_GE(b.size(), 12u);
  if (b.size() < 12) return a;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "FORM");
  EXPECT_EQ(be32(b, 4) + 8, b.size()) << "FORM size";
  a.form = std::string(b.begin() + 8, b.begin() + 12);
  size_t at = 12;
  while (at + 8 <= b.size()) {
    std::string id(b.begin() + at, b.begin() + at + 4);
    uint32_t size = be32(b, at + 4);
    size_t body = at + 8;
    EXPECT_LE(body + size, b.size()) << id;
    if (body + size > b.size()) break;
    if (id == "COMM") {
      a.channels = be16(b, body);
      a.frames = be32(b, body + 2);
      a.bits = be16(b, body + 6);
      int exponent = (be16(b, body + 8) & 0x7fff) - 16383;
      uint64_t mantissa = (uint64_t{be32(b, body + 10)} << 32) | be32(b, body + 14);
      a.rate = std::ldexp(static_cast<double>(mantissa), exponent - 63);
    } else if (id == "SSND") {
      uint32_t offset = be32(b, body);
      for (size_t i = body + 8 + offset; i + 1 < body + size; i += 2)
        a.samples.push_back(static_cast<int16_t>(be16(b, i)));
    }
    at = body + size + (size & 1);
  }
  return a;
}

std::vector<uint8_t> readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Dominant pitch by counting sign changes.
double pitch(const std::vector<int16_t>& s, double rate) {
  int changes = 0;
  for (size_t i = 1; i < s.size(); ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++changes;
  return changes / 2.0 / (static_cast<double>(s.size()) / rate);
}

const std::vector<std::string> kNames = {"yolkfall_01", "yolkfall_02", "yolkfall_03", "yolkfall_04", "yolkfall_06",
                                         "yolkfall_08", "endgame",     "panflip_01",  "panflip_02"};

Aiff built(const std::string& name) {
  return readAiff(readFile(restest::builtDir() / (name + ".aif")));
}

}  // namespace

TEST(Sounds, EveryNamedSoundIsAShortPlainSixteenBitMonoAiff) {
  for (const auto& name : kNames) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(std::filesystem::exists(restest::builtDir() / (name + ".aif")));
    Aiff a = built(name);
    EXPECT_EQ(a.form, "AIFF") << "AIFF-C does not load";
    EXPECT_EQ(a.channels, 1);
    EXPECT_EQ(a.bits, 16);
    EXPECT_DOUBLE_EQ(a.rate, 22050.0);
    ASSERT_EQ(a.samples.size(), a.frames);
    double seconds = a.frames / a.rate;
    EXPECT_GT(seconds, 0.01);
    EXPECT_LT(seconds, 1.5);
    int peak = 0;
    for (int16_t s : a.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_GT(peak, 8000) << "too quiet";
    EXPECT_LT(peak, 32000) << "clipped";
    EXPECT_LT(std::abs(a.samples.front()), 800) << "clicks at the start";
    EXPECT_LT(std::abs(a.samples.back()), 800) << "clicks at the end";
  }
}

TEST(Sounds, RollingTonesDifferPerDeckPairAndTheBreakIsLowerThanTheCatch) {
  double deck01 = pitch(built("yolkfall_01").samples, 22050);
  double deck2 = pitch(built("yolkfall_03").samples, 22050);
  double deck3 = pitch(built("yolkfall_04").samples, 22050);
  EXPECT_LT(deck01 * 1.1, deck2);
  EXPECT_LT(deck2 * 1.1, deck3);
  EXPECT_LT(pitch(built("yolkfall_06").samples, 22050) * 2, pitch(built("yolkfall_02").samples, 22050));
  Aiff end = built("endgame");
  size_t quarter = end.samples.size() / 4;
  std::vector<int16_t> head(end.samples.begin(), end.samples.begin() + quarter);
  std::vector<int16_t> tail(end.samples.end() - quarter, end.samples.end());
  EXPECT_GT(pitch(head, 22050), pitch(tail, 22050) * 1.5) << "the end tune falls";
}

TEST(Sounds, WriterProducesTheExactHeaderAndIsDeterministic) {
  std::vector<uint8_t> bytes = soundgen::aiff({1, -2, 300});
  ASSERT_EQ(bytes.size(), 12u + 26u + 16u + 6u);
  const uint8_t rate22050[10] = {0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(rate22050, rate22050 + 10, bytes.begin() + 28));
  Aiff a = readAiff(bytes);
  EXPECT_EQ(a.samples, (std::vector<int16_t>{1, -2, 300}));
  EXPECT_EQ(a.frames, 3u);
  for (const auto& recipe : soundgen::recipes())
    EXPECT_EQ(soundgen::synthesise(recipe), soundgen::synthesise(recipe)) << recipe.name;
}
