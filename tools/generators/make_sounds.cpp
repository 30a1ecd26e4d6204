// Synthesises the program's sounds: the two click sounds (HIDARI.WAV, MIGI.WAV), the
// correct-answer fanfare (SEIKAI.WAV) and the background music (BGM.MID).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

// ---- WAV ------------------------------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

// Scales the samples so that the loudest one reaches `peak` (of full scale) and writes them as
// 16-bit mono PCM.
bool WriteWav(const std::string& path, std::vector<double> samples, double peak) {
  double top = 0;
  for (double s : samples) top = std::max(top, std::fabs(s));
  const double gain = top > 0 ? peak / top : 0;
  std::vector<std::uint8_t> out;
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  PutTag(out, "RIFF");
  Put32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put32(out, 16);
  Put16(out, 1);  // PCM
  Put16(out, 1);  // mono
  Put32(out, kRate);
  Put32(out, kRate * 2);
  Put16(out, 2);
  Put16(out, 16);
  PutTag(out, "data");
  Put32(out, dataBytes);
  for (double s : samples) {
    const long v = std::lround(std::clamp(s * gain, -1.0, 1.0) * 32767.0);
    Put16(out, static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(v))));
  }
  return WriteFile(path, out);
}

// A struck tone: a few partials under a quick attack and an exponential decay, faded to zero
// over its last milliseconds so that it ends without a click.
std::vector<double> Pluck(double seconds, double freq, double decaySeconds,
                          std::initializer_list<std::pair<double, double>> partials) {
  const int n = static_cast<int>(seconds * kRate);
  std::vector<double> v(n);
  const int attack = kRate * 2 / 1000;
  const int release = kRate * 8 / 1000;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    double s = 0;
    for (const auto& [ratio, level] : partials) s += level * std::sin(2 * std::numbers::pi * freq * ratio * t);
    double env = std::exp(-t / decaySeconds);
    if (i < attack) env *= static_cast<double>(i) / attack;
    if (i >= n - release) env *= static_cast<double>(n - 1 - i) / release;
    v[i] = s * env;
  }
  return v;
}

// The fanfare: a rising arpeggio that lands on a held major chord.
std::vector<double> Fanfare() {
  const double seconds = 1.5;
  std::vector<double> v(static_cast<std::size_t>(seconds * kRate), 0.0);
  struct Note {
    double start, length, freq, level;
  };
  const double c5 = 523.25, e5 = 659.26, g5 = 783.99, c6 = 1046.5;
  const Note notes[] = {{0.00, 0.16, c5, 0.8}, {0.14, 0.16, e5, 0.8}, {0.28, 0.16, g5, 0.8},
                        {0.42, 1.06, c6, 1.0}, {0.42, 1.06, g5, 0.55}, {0.42, 1.06, e5, 0.55},
                        {0.42, 1.06, c5, 0.45}};
  for (const Note& note : notes) {
    const int first = static_cast<int>(note.start * kRate);
    const int count = static_cast<int>(note.length * kRate);
    const int attack = kRate * 6 / 1000, release = kRate * 60 / 1000;
    for (int i = 0; i < count && first + i < static_cast<int>(v.size()); ++i) {
      const double t = static_cast<double>(i) / kRate;
      // A bright, brass-like tone with a gentle vibrato on the held chord.
      const double vib = note.length > 0.5 ? 1 + 0.004 * std::sin(2 * std::numbers::pi * 5.5 * t) : 1;
      const double ph = 2 * std::numbers::pi * note.freq * vib * t;
      const double s = std::sin(ph) + 0.45 * std::sin(2 * ph) + 0.2 * std::sin(3 * ph) + 0.08 * std::sin(4 * ph);
      double env = 0.75 + 0.25 * std::exp(-t / 0.08);
      if (i < attack) env *= static_cast<double>(i) / attack;
      if (i >= count - release) env *= static_cast<double>(count - 1 - i) / release;
      v[first + i] += note.level * s * env;
    }
  }
  return v;
}

// ---- MIDI -----------------------------------------------------------------------------------

constexpr int kTicksPerQuarter = 480;
constexpr int kEighth = kTicksPerQuarter / 2;
constexpr int kBar = kTicksPerQuarter * 4;

struct Event {
  int tick;
  int order;  // at equal ticks: meta first, then note-offs, then the rest
  std::vector<std::uint8_t> bytes;
};

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t buf[5];
  int n = 0;
  buf[n++] = v & 0x7F;
  while ((v >>= 7) != 0) buf[n++] = static_cast<std::uint8_t>(0x80 | (v & 0x7F));
  while (n > 0) out.push_back(buf[--n]);
}

class Song {
 public:
  void Meta(int tick, std::uint8_t type, std::vector<std::uint8_t> data) {
    std::vector<std::uint8_t> b = {0xFF, type};
    PutVarLen(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    events_.push_back({tick, 0, b});
  }
  void Control(int tick, int ch, int b1, int b2) {
    events_.push_back({tick, 2, {static_cast<std::uint8_t>(0xB0 | ch), static_cast<std::uint8_t>(b1),
                                 static_cast<std::uint8_t>(b2)}});
  }
  void Program(int tick, int ch, int program) {
    events_.push_back({tick, 2, {static_cast<std::uint8_t>(0xC0 | ch), static_cast<std::uint8_t>(program)}});
  }
  void Note(int tick, int length, int ch, int key, int velocity) {
    events_.push_back({tick, 3, {static_cast<std::uint8_t>(0x90 | ch), static_cast<std::uint8_t>(key),
                                 static_cast<std::uint8_t>(velocity)}});
    events_.push_back({tick + length, 1, {static_cast<std::uint8_t>(0x80 | ch),
                                          static_cast<std::uint8_t>(key), 0x40}});
  }
  std::vector<std::uint8_t> Bytes(int endTick) {
    std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<std::uint8_t> track;
    int now = 0;
    for (const Event& e : events_) {
      PutVarLen(track, static_cast<std::uint32_t>(e.tick - now));
      now = e.tick;
      track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    PutVarLen(track, static_cast<std::uint32_t>(endTick - now));
    track.insert(track.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> out;
    PutTag(out, "MThd");
    const auto be32 = [&out](std::uint32_t v) {
      for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
    };
    be32(6);
    out.insert(out.end(), {0, 0, 0, 1, kTicksPerQuarter >> 8, kTicksPerQuarter & 0xFF});
    PutTag(out, "MTrk");
    be32(static_cast<std::uint32_t>(track.size()));
    out.insert(out.end(), track.begin(), track.end());
    return out;
  }

 private:
  std::vector<Event> events_;
};

// A quiet sixteen-bar tune in C major for piano over strings and a soft bass. It starts and
// ends on the tonic chord at a bar line, so the replay from the start joins without a seam.
std::vector<std::uint8_t> Tune() {
  enum : int { R = 0, G4 = 67, A4 = 69, B4 = 71, C5 = 72, D5 = 74, E5 = 76, F5 = 77, G5 = 79, A5 = 81, B5 = 83, C6 = 84 };
  struct N {
    int key, eighths;
  };
  const std::vector<std::vector<N>> melody = {
      {{E5, 2}, {G5, 2}, {E5, 2}, {D5, 1}, {C5, 1}}, {{C5, 2}, {A4, 2}, {C5, 2}, {E5, 2}},
      {{F5, 4}, {E5, 2}, {D5, 2}},                   {{D5, 2}, {B4, 2}, {G4, 4}},
      {{E5, 2}, {G5, 2}, {C6, 2}, {B5, 1}, {A5, 1}}, {{G5, 4}, {E5, 2}, {B4, 2}},
      {{A4, 2}, {C5, 2}, {F5, 2}, {E5, 2}},          {{D5, 6}, {R, 2}},
      {{C5, 2}, {E5, 2}, {A5, 4}},                   {{A5, 2}, {G5, 2}, {F5, 2}, {C5, 2}},
      {{E5, 3}, {D5, 1}, {C5, 2}, {E5, 2}},          {{D5, 4}, {G4, 4}},
      {{A4, 2}, {C5, 2}, {F5, 2}, {A5, 2}},          {{G5, 2}, {F5, 2}, {D5, 4}},
      {{B4, 2}, {D5, 2}, {G5, 2}, {F5, 2}},          {{E5, 4}, {C5, 4}},
  };
  // Chord of each bar: the bass root and the three string voices.
  const int chords[16][4] = {
      {36, 55, 60, 64}, {45, 57, 60, 64}, {41, 57, 60, 65}, {43, 55, 59, 62},
      {36, 55, 60, 64}, {40, 55, 59, 64}, {41, 57, 60, 65}, {43, 55, 59, 62},
      {45, 57, 60, 64}, {41, 57, 60, 65}, {36, 55, 60, 64}, {43, 55, 59, 62},
      {41, 57, 60, 65}, {38, 57, 62, 65}, {43, 55, 59, 62}, {36, 55, 60, 64},
  };
  constexpr int kPiano = 0, kStrings = 1, kBass = 2;
  Song song;
  song.Meta(0, 0x03, {'B', 'G', 'M'});
  song.Meta(0, 0x58, {4, 2, 24, 8});                      // 4/4
  song.Meta(0, 0x59, {0, 0});                             // C major
  const std::uint32_t tempo = 60000000 / 84;              // 84 beats a minute
  song.Meta(0, 0x51, {static_cast<std::uint8_t>(tempo >> 16), static_cast<std::uint8_t>(tempo >> 8),
                      static_cast<std::uint8_t>(tempo)});
  song.Program(0, kPiano, 0);     // acoustic grand piano
  song.Program(0, kStrings, 48);  // string ensemble
  song.Program(0, kBass, 32);     // acoustic bass
  const int volume[3] = {96, 64, 72};
  for (int ch = 0; ch < 3; ++ch) {
    song.Control(0, ch, 7, volume[ch]);
    song.Control(0, ch, 91, 48);  // some reverb
  }
  for (int bar = 0; bar < 16; ++bar) {
    const int start = bar * kBar;
    int t = start;
    for (const N& n : melody[bar]) {
      const int length = n.eighths * kEighth;
      // Detached a little, except the last note, which rings to the bar line.
      if (n.key != R) song.Note(t, bar == 15 && &n == &melody[bar].back() ? length : length - 24, kPiano, n.key, 72);
      t += length;
    }
    for (int v = 1; v < 4; ++v) song.Note(start, kBar, kStrings, chords[bar][v], 48);
    song.Note(start, kBar / 2, kBass, chords[bar][0], 64);
    song.Note(start + kBar / 2, kBar / 2, kBass, chords[bar][0] + (bar == 15 ? 0 : 7), 56);
  }
  return song.Bytes(16 * kBar);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds PROGRAM_DIR\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  // Left click: a light high tick. Right click: a rounder, lower knock, so the two tell apart.
  bool ok = WriteWav(dir + "HIDARI.WAV", Pluck(0.06, 1760, 0.012, {{1, 1.0}, {2.01, 0.25}}), 0.3);
  ok = WriteWav(dir + "MIGI.WAV", Pluck(0.09, 880, 0.02, {{1, 1.0}, {1.5, 0.3}, {0.5, 0.4}}), 0.3) && ok;
  ok = WriteWav(dir + "SEIKAI.WAV", Fanfare(), 0.7) && ok;
  ok = WriteFile(dir + "BGM.MID", Tune()) && ok;
  if (!ok) {
    std::fprintf(stderr, "make_sounds: cannot write the sounds into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
