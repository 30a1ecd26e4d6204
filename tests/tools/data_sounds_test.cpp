// The sounds as the generators wrote them: the WAV headers, lengths and levels of the three
// effects, and the structure, note pairing, length and loop point of the background music.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <utility>

#include "tests/tools/program_files.h"

namespace teku {
namespace {

using testing::Be16;
using testing::Be32;
using testing::Le16;
using testing::Le32;
using testing::ReadProgramFile;

// ---- WAV ------------------------------------------------------------------------------------

struct Wav {
  bool ok = false;
  std::uint32_t format = 0, channels = 0, rate = 0, byteRate = 0, align = 0, bits = 0;
  std::vector<int> samples;
  double Seconds() const { return rate == 0 ? 0 : static_cast<double>(samples.size()) / rate; }
  int Peak() const {
    int p = 0;
    for (int s : samples) p = std::max(p, std::abs(s));
    return p;
  }
  // Sign changes per second over the louder first half: twice the main frequency.
  double Crossings() const {
    int n = 0;
    const std::size_t half = samples.size() / 2;
    for (std::size_t i = 1; i < half; ++i) n += (samples[i - 1] < 0) != (samples[i] < 0);
    return half == 0 ? 0 : n * static_cast<double>(rate) / static_cast<double>(half);
  }
};

Wav ParseWav(const std::vector<std::uint8_t>& b) {
  Wav w;
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE" || Le32(b, 4) != b.size() - 8) {
    return w;
  }
  bool haveFormat = false, haveData = false;
  for (std::size_t at = 12; at + 8 <= b.size();) {
    const std::string id(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4);
    const std::uint32_t size = Le32(b, at + 4);
    if (at + 8 + size > b.size()) return w;
    if (id == "fmt " && size >= 16) {
      w.format = Le16(b, at + 8);
      w.channels = Le16(b, at + 10);
      w.rate = Le32(b, at + 12);
      w.byteRate = Le32(b, at + 16);
      w.align = Le16(b, at + 20);
      w.bits = Le16(b, at + 22);
      haveFormat = true;
    } else if (id == "data") {
      for (std::size_t i = 0; i + 1 < size; i += 2) w.samples.push_back(static_cast<std::int16_t>(Le16(b, at + 8 + i)));
      haveData = true;
    }
    at += 8 + size + (size & 1);
  }
  w.ok = haveFormat && haveData;
  return w;
}

void ExpectPcm16Mono22k(const Wav& w) {
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(w.format, 1u);
  EXPECT_EQ(w.channels, 1u);
  EXPECT_EQ(w.rate, 22050u);
  EXPECT_EQ(w.bits, 16u);
  EXPECT_EQ(w.align, 2u);
  EXPECT_EQ(w.byteRate, 44100u);
}

// Starts and ends at rest, so that a restart mid-sound or the end makes no click.
void ExpectSilentEdges(const Wav& w) {
  ASSERT_FALSE(w.samples.empty());
  EXPECT_LT(std::abs(w.samples.front()), 330);
  EXPECT_LT(std::abs(w.samples.back()), 330);
}

TEST(ClickSounds, AreShortSoftPcmSounds) {
  for (const char* name : {"HIDARI.WAV", "MIGI.WAV"}) {
    SCOPED_TRACE(name);
    const Wav w = ParseWav(ReadProgramFile(name));
    ExpectPcm16Mono22k(w);
    EXPECT_GE(w.Seconds(), 0.02);
    EXPECT_LE(w.Seconds(), 0.12);
    EXPECT_GE(w.Peak(), 3000);   // audible
    EXPECT_LE(w.Peak(), 16384);  // soft: at most half of full scale
    ExpectSilentEdges(w);
  }
}

TEST(ClickSounds, LeftAndRightSoundApart) {
  const Wav left = ParseWav(ReadProgramFile("HIDARI.WAV"));
  const Wav right = ParseWav(ReadProgramFile("MIGI.WAV"));
  ASSERT_TRUE(left.ok && right.ok);
  EXPECT_GT(left.Crossings(), right.Crossings() * 1.3);
  EXPECT_NE(left.samples.size(), right.samples.size());
}

TEST(FanfareSound, IsAboutOneAndAHalfSecondsAndNotClipped) {
  const Wav w = ParseWav(ReadProgramFile("SEIKAI.WAV"));
  ExpectPcm16Mono22k(w);
  EXPECT_GE(w.Seconds(), 1.2);
  EXPECT_LE(w.Seconds(), 2.0);
  EXPECT_GE(w.Peak(), 8000);
  EXPECT_LT(w.Peak(), 32000);
  ExpectSilentEdges(w);
}

// ---- MIDI -----------------------------------------------------------------------------------

struct Midi {
  std::string error;  // empty when the file parsed
  std::uint32_t format = 0, tracks = 0, division = 0;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;  // tick, microseconds a quarter
  std::map<int, int> programs;                                  // channel -> program
  std::uint32_t endTick = 0;
  int numerator = 4, denominatorPower = 2;
  int sharpsFlats = 0, minor = 0;
  int notes = 0;
  int unmatched = 0;   // note-offs of notes not sounding, and note-ons of notes already sounding
  int leftOn = 0;      // notes still sounding at the end of the track
  std::vector<std::pair<std::uint32_t, int>> onsets;  // tick, key of every note-on (not drums)

  double Seconds() const {
    double s = 0;
    std::uint32_t tick = 0, tempo = 500000;
    for (const auto& [t, us] : tempos) {
      s += static_cast<double>(t - tick) * tempo / division / 1e6;
      tick = t;
      tempo = us;
    }
    return s + static_cast<double>(endTick - tick) * tempo / division / 1e6;
  }
};

std::uint32_t VarLen(const std::vector<std::uint8_t>& b, std::size_t& at, std::size_t end, bool& ok) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    if (at >= end) break;
    const std::uint8_t c = b[at++];
    v = v << 7 | (c & 0x7F);
    if ((c & 0x80) == 0) return v;
  }
  ok = false;
  return 0;
}

Midi ParseMidi(const std::vector<std::uint8_t>& b) {
  Midi m;
  if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Be32(b, 4) != 6) {
    m.error = "no header chunk of 6 bytes";
    return m;
  }
  m.format = Be16(b, 8);
  m.tracks = Be16(b, 10);
  m.division = Be16(b, 12);
  if (m.division == 0 || (m.division & 0x8000) != 0) m.error = "not a ticks-per-quarter division";
  std::size_t at = 14;
  std::map<std::pair<int, int>, int> sounding;
  for (std::uint32_t t = 0; t < m.tracks && m.error.empty(); ++t) {
    if (at + 8 > b.size() || std::string(b.begin() + static_cast<std::ptrdiff_t>(at), b.begin() + static_cast<std::ptrdiff_t>(at) + 4) != "MTrk") {
      m.error = "missing track chunk";
      break;
    }
    const std::size_t end = at + 8 + Be32(b, at + 4);
    if (end > b.size()) {
      m.error = "track chunk longer than the file";
      break;
    }
    at += 8;
    std::uint32_t tick = 0;
    std::uint8_t status = 0;
    bool ended = false, ok = true;
    while (at < end && !ended && ok) {
      tick += VarLen(b, at, end, ok);
      if (at >= end) {
        ok = false;
        break;
      }
      if (b[at] & 0x80) status = b[at++];
      if (status == 0xFF) {
        const std::uint8_t type = at < end ? b[at++] : 0;
        const std::uint32_t len = VarLen(b, at, end, ok);
        if (at + len > end) {
          ok = false;
          break;
        }
        if (type == 0x2F) {
          ended = true;
          m.endTick = std::max(m.endTick, tick);
        } else if (type == 0x51 && len == 3) {
          m.tempos.emplace_back(tick, b[at] << 16 | b[at + 1] << 8 | b[at + 2]);
        } else if (type == 0x58 && len >= 2) {
          m.numerator = b[at];
          m.denominatorPower = b[at + 1];
        } else if (type == 0x59 && len == 2) {
          m.sharpsFlats = static_cast<std::int8_t>(b[at]);
          m.minor = b[at + 1];
        }
        at += len;
        status = 0;  // meta events cancel running status
      } else if (status == 0xF0 || status == 0xF7) {
        at += VarLen(b, at, end, ok);
        status = 0;
      } else if (status >= 0x80) {
        const int kind = status & 0xF0, ch = status & 0x0F;
        const int size = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
        if (at + size > end) {
          ok = false;
          break;
        }
        const int d1 = b[at], d2 = size == 2 ? b[at + 1] : 0;
        at += size;
        const auto key = std::make_pair(ch, d1);
        if (kind == 0x90 && d2 > 0) {
          ++m.notes;
          if (sounding[key]++ > 0) ++m.unmatched;
          if (ch != 9) m.onsets.emplace_back(tick, d1);
        } else if (kind == 0x80 || kind == 0x90) {
          if (sounding[key] == 0) {
            ++m.unmatched;
          } else {
            --sounding[key];
          }
        } else if (kind == 0xC0) {
          m.programs[ch] = d1;
        }
      } else {
        ok = false;
      }
    }
    if (!ok) m.error = "event runs past its track chunk";
    else if (!ended) m.error = "track without end-of-track";
    else if (at != end) m.error = "bytes after end-of-track";
    at = end;
  }
  if (m.error.empty() && at != b.size()) m.error = "bytes after the last track";
  for (const auto& [key, n] : sounding) m.leftOn += n;
  std::sort(m.tempos.begin(), m.tempos.end());
  return m;
}

TEST(BackgroundMusic, IsAWellFormedStandardMidiFile) {
  const Midi m = ParseMidi(ReadProgramFile("BGM.MID"));
  ASSERT_EQ(m.error, "");
  EXPECT_TRUE(m.format == 0 || m.format == 1);
  if (m.format == 0) {
    EXPECT_EQ(m.tracks, 1u);
  }
  ASSERT_FALSE(m.tempos.empty());
  EXPECT_EQ(m.tempos.front().first, 0u);
  EXPECT_GE(m.programs.size(), 2u);  // more than one instrument
  for (const auto& [ch, program] : m.programs) EXPECT_LT(program, 128);
  EXPECT_GE(m.notes, 100);
}

TEST(BackgroundMusic, EveryNoteEndsBeforeTheTrackDoes) {
  const Midi m = ParseMidi(ReadProgramFile("BGM.MID"));
  ASSERT_EQ(m.error, "");
  EXPECT_EQ(m.unmatched, 0);
  EXPECT_EQ(m.leftOn, 0);
}

TEST(BackgroundMusic, LastsAtLeastHalfAMinute) {
  const Midi m = ParseMidi(ReadProgramFile("BGM.MID"));
  ASSERT_EQ(m.error, "");
  EXPECT_GE(m.Seconds(), 30.0);
  EXPECT_LE(m.Seconds(), 180.0);
}

TEST(BackgroundMusic, EndsOnTheTonicAtABarLine) {
  const Midi m = ParseMidi(ReadProgramFile("BGM.MID"));
  ASSERT_EQ(m.error, "");
  const std::uint32_t bar = m.division * 4 * static_cast<std::uint32_t>(m.numerator) >> m.denominatorPower;
  ASSERT_GT(bar, 0u);
  EXPECT_EQ(m.endTick % bar, 0u);
  const int tonic = ((m.sharpsFlats * 7) % 12 + 12 + (m.minor != 0 ? 9 : 0)) % 12;
  // The notes struck in the final bar: the lowest (the bass) and the last one are the tonic.
  int lowest = 128, last = -1;
  std::uint32_t lastTick = 0;
  for (const auto& [tick, key] : m.onsets) {
    if (tick + bar < m.endTick + 1) continue;
    lowest = std::min(lowest, key);
    if (tick >= lastTick) lastTick = tick, last = key;
  }
  ASSERT_LT(lowest, 128);
  EXPECT_EQ(lowest % 12, tonic);
  EXPECT_EQ(last % 12, tonic);
}

}  // namespace
}  // namespace teku
