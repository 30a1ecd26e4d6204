// The SDL2_mixer player under SDL's dummy and disk audio drivers, alone and under the sound
// devices of the main window, with the queued hand-over to the Qt event loop.
#include "services/sound_sdl.h"
#include "services/sound_loader.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <sys/stat.h>
#include <vector>

namespace teku {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutBE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A 440 Hz tone, 16-bit mono PCM.
std::vector<std::uint8_t> ToneWav(double seconds) {
  const std::uint32_t rate = 22050;
  const auto samples = static_cast<std::uint32_t>(seconds * rate);
  std::vector<std::uint8_t> out;
  const std::string riff = "RIFF", wave = "WAVEfmt ", data = "data";
  out.insert(out.end(), riff.begin(), riff.end());
  PutLE(out, 36 + samples * 2, 4);
  out.insert(out.end(), wave.begin(), wave.end());
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, 1, 2);  // mono
  PutLE(out, rate, 4);
  PutLE(out, rate * 2, 4);
  PutLE(out, 2, 2);
  PutLE(out, 16, 2);
  out.insert(out.end(), data.begin(), data.end());
  PutLE(out, samples * 2, 4);
  for (std::uint32_t i = 0; i < samples; ++i) {
    const double v = 12000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / rate);
    PutLE(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(v)), 2);
  }
  return out;
}

// One piano note of a quarter second (96 ticks a beat at the default 120 beats a minute).
std::vector<std::uint8_t> OneNoteMidi() {
  const std::vector<std::uint8_t> track = {
      0x00, 0xC0, 0x00,        // piano
      0x00, 0x90, 60,   100,   // note on
      0x30, 0x80, 60,   0,     // off after 48 ticks
      0x00, 0xFF, 0x2F, 0x00,  // end of track
  };
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd'};
  PutBE(out, 6, 4);
  PutBE(out, 0, 2);
  PutBE(out, 1, 2);
  PutBE(out, 96, 2);
  out.insert(out.end(), {'M', 'T', 'r', 'k'});
  PutBE(out, static_cast<std::uint32_t>(track.size()), 4);
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "teku_sound_XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    const fs::path p = path_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p.string();
  }
  fs::path path() const { return path_; }

 private:
  fs::path path_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, hadOld_ = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (hadOld_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool hadOld_ = false;
};

template <typename Pred>
bool WaitFor(Pred pred, std::chrono::milliseconds limit = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// A queue the test drains by hand, which also notes whether anything was posted from another
// thread than the one that drains it.
class ManualQueue {
 public:
  GuiPoster Poster() {
    return [this](std::function<void()> task) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (std::this_thread::get_id() != owner_) postedFromOtherThread_ = true;
      tasks_.push_back(std::move(task));
    };
  }
  std::size_t size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return tasks_.size();
  }
  void Drain() {
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (tasks_.empty()) return;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
  }
  bool postedFromOtherThread() {
    std::lock_guard<std::mutex> lock(mutex_);
    return postedFromOtherThread_;
  }

 private:
  std::thread::id owner_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  bool postedFromOtherThread_ = false;
};

struct EndLog {
  std::mutex mutex;
  std::vector<std::pair<DeviceId, std::uint32_t>> ends;
  std::size_t size() {
    std::lock_guard<std::mutex> lock(mutex);
    return ends.size();
  }
};

class MainWindowStandIn : public QObject, public SoundNotifyTarget {
 public:
  SoundDevices devices;
  bool soundOn = true;
  std::vector<std::pair<std::uint32_t, DeviceId>> received;
  bool ranOffTheGuiThread = false;

  void SoundNotify(std::uint32_t code, DeviceId device) override {
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) ranOffTheGuiThread = true;
    received.emplace_back(code, device);
    HandleSoundNotify(devices, code, device, soundOn, this);
  }
  int Successes(DeviceId device) const {
    int n = 0;
    for (const auto& [code, id] : received) n += (code == kNotifySuccessful && id == device) ? 1 : 0;
    return n;
  }
};

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSoundPlatform();
    wav = dir.Write("HIDARI.WAV", ToneWav(0.15));
    longWav = dir.Write("MIGI.WAV", ToneWav(1.0));
    mid = dir.Write("BGM.MID", OneNoteMidi());
  }
  void TearDown() override { ResetSoundPlatform(); }

  TempDir dir;
  std::string wav, longWav, mid;
};

TEST_F(SdlSoundTest, DummyDriverPlaysEffectsAndReportsOnlyNaturalEnds) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  EndLog log;
  std::atomic<bool> offThread{false};
  const auto gui = std::this_thread::get_id();
  backend.SetPlayEnded([&](DeviceId id, std::uint32_t ticket) {
    if (std::this_thread::get_id() != gui) offThread = true;
    std::lock_guard<std::mutex> lock(log.mutex);
    log.ends.emplace_back(id, ticket);
  });

  EXPECT_FALSE(backend.Open(1, (dir.path() / "NONE.WAV").string()));
  EXPECT_FALSE(backend.Open(1, dir.Write("TUNE.TXT", ToneWav(0.1))));
  // Only regular files reach the mixer: a FIFO would block it, /dev/zero feed it for ever.
  ASSERT_EQ(::mkfifo((dir.path() / "FIFO.WAV").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", dir.path() / "ZERO.MID");
  EXPECT_FALSE(backend.Open(1, (dir.path() / "FIFO.WAV").string()));
  EXPECT_FALSE(backend.Open(1, (dir.path() / "ZERO.MID").string()));
  ASSERT_TRUE(backend.Open(1, wav));
  ASSERT_TRUE(backend.Open(2, longWav));
  EXPECT_FALSE(backend.Open(2, wav));  // id already open

  ASSERT_TRUE(backend.Play(1, PlayFrom::Current, 11));
  ASSERT_TRUE(WaitFor([&] { return log.size() == 1; }));
  EXPECT_EQ(log.ends[0], (std::pair<DeviceId, std::uint32_t>{1, 11}));
  EXPECT_TRUE(offThread) << "the end came from the mixer's own thread";

  // Halted, rewound and replaced plays end without a report; the last one reports once.
  ASSERT_TRUE(backend.Play(2, PlayFrom::Current, 21));
  ASSERT_TRUE(backend.Stop(2));
  ASSERT_TRUE(backend.Play(1, PlayFrom::Current, 12));
  ASSERT_TRUE(backend.SeekToStart(1));
  ASSERT_TRUE(backend.Play(1, PlayFrom::Current, 13));
  ASSERT_TRUE(backend.Play(1, PlayFrom::Start, 14));
  ASSERT_TRUE(WaitFor([&] { return log.size() == 2; }));
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(log.size(), 2U);
  EXPECT_EQ(log.ends[1], (std::pair<DeviceId, std::uint32_t>{1, 14}));

  EXPECT_TRUE(backend.Close(1));
  EXPECT_FALSE(backend.Close(1));
  EXPECT_FALSE(backend.Play(1, PlayFrom::Current, 15));
}

TEST_F(SdlSoundTest, MainWindowEffectsOverTheDummyDriver) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  ManualQueue queue;
  SetSoundPlatform(&backend, queue.Poster());
  MainWindowStandIn window;
  window.devices.BgmMidPath = mid;
  window.devices.LeftWavPath = wav;
  window.devices.RightWavPath = longWav;
  window.devices.FineWavPath = (dir.path() / "SEIKAI.WAV").string();  // missing
  ReopenSound(window.devices, &window);
  const SoundDevices& d = window.devices;
  ASSERT_NE(d.BgmDevice, 0) << "the General MIDI soundfont did not load";
  ASSERT_NE(d.LeftWavDevice, 0);
  ASSERT_NE(d.RightWavDevice, 0);
  EXPECT_EQ(d.FineWavDevice, 0);

  // A rewind during the long effect: the cut-off play must not count as finished.
  ASSERT_TRUE(WavePlay(d.RightWavDevice, &window));
  ASSERT_TRUE(WavePlay(d.RightWavDevice, &window));
  ASSERT_TRUE(WavePlay(d.LeftWavDevice, &window));
  ASSERT_TRUE(WaitFor([&] {
    queue.Drain();
    return window.Successes(d.LeftWavDevice) == 1;
  }));
  EXPECT_TRUE(queue.postedFromOtherThread());
  ASSERT_TRUE(WaitFor([&] {
    queue.Drain();
    return window.Successes(d.RightWavDevice) >= 1;
  }));
  std::this_thread::sleep_for(200ms);
  queue.Drain();
  EXPECT_EQ(window.Successes(d.RightWavDevice), 1) << "the cut-off play was reported as finished";

  CloseSound(window.devices);
  EXPECT_EQ(OpenSoundDeviceCount(), 0);
  ResetSoundPlatform();
}

// The synthesizer lets the last notes ring for two seconds of output before a piece counts as
// ended, so the loop runs on the disk driver writing away at many times real speed.
TEST_F(SdlSoundTest, MusicLoopsWhileSoundIsOnAndStopsWhenItIsOff) {
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv file("SDL_DISKAUDIOFILE", "/dev/null");
  ScopedEnv delay("SDL_DISKAUDIODELAY", "1");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  ManualQueue queue;
  SetSoundPlatform(&backend, queue.Poster());
  MainWindowStandIn window;
  window.devices.BgmMidPath = mid;
  ReopenSound(window.devices, &window);
  const DeviceId bgm = window.devices.BgmDevice;
  ASSERT_NE(bgm, 0) << "the General MIDI soundfont did not load";
  ASSERT_TRUE(WaitFor([&] {
    queue.Drain();
    return window.Successes(bgm) >= 3;
  }));
  window.soundOn = false;
  const int before = window.Successes(bgm);
  ASSERT_TRUE(WaitFor([&] {
    queue.Drain();
    return window.Successes(bgm) == before + 1;
  }));
  std::this_thread::sleep_for(500ms);  // several plays' worth at this speed
  queue.Drain();
  EXPECT_EQ(window.Successes(bgm), before + 1) << "the music went on with sound off";
  EXPECT_TRUE(SoundDeviceIsOpen(bgm));
  CloseSound(window.devices);
  ResetSoundPlatform();
}

TEST_F(SdlSoundTest, QueuedPosterDeliversOnTheGuiThreadFromTheEventLoop) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  MainWindowStandIn window;
  SetSoundPlatform(&backend, QueuedGuiPoster(&window));
  window.devices.LeftWavPath = wav;
  ReopenSound(window.devices, &window);
  ASSERT_NE(window.devices.LeftWavDevice, 0);
  ASSERT_TRUE(WavePlay(window.devices.LeftWavDevice, &window));
  ASSERT_TRUE(WaitFor([&] { return window.Successes(window.devices.LeftWavDevice) == 1; }));
  EXPECT_FALSE(window.ranOffTheGuiThread);
  CloseSound(window.devices);
  ResetSoundPlatform();
}

// The mixer's output: 16-bit stereo at 44100 Hz.
std::vector<std::int16_t> LeftChannel(const fs::path& raw) {
  std::ifstream in(raw, std::ios::binary);
  std::vector<std::int16_t> left;
  std::int16_t frame[2];
  while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0]);
  return left;
}

std::int64_t LoudSamples(const std::vector<std::int16_t>& samples) {
  std::int64_t loud = 0;
  for (std::int16_t s : samples) loud += (s > 1000 || s < -1000) ? 1 : 0;
  return loud;
}

// Pitch from the rising zero crossings of the loud part.
double PitchHz(const std::vector<std::int16_t>& samples) {
  std::vector<std::size_t> rising;
  bool loud = false;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    loud = loud || samples[i] > 1000 || samples[i] < -1000;
    if (loud && samples[i - 1] < 0 && samples[i] >= 0) rising.push_back(i);
  }
  if (rising.size() < 3) return 0;
  // The last crossing may belong to the fade into silence.
  rising.pop_back();
  return static_cast<double>(rising.size() - 1) * 44100.0 /
         static_cast<double>(rising.back() - rising.front());
}

TEST_F(SdlSoundTest, DiskDriverOutputHoldsTheToneAndTheTune) {
  const fs::path silentOut = dir.path() / "silent.raw";
  const fs::path toneOut = dir.path() / "tone.raw";
  const fs::path tuneOut = dir.path() / "tune.raw";
  ScopedEnv driver("SDL_AUDIODRIVER", "disk");
  ScopedEnv delay("SDL_DISKAUDIODELAY", "5");
  {
    ScopedEnv file("SDL_DISKAUDIOFILE", silentOut.string());
    SdlMediaBackend backend;
    ASSERT_TRUE(backend.HasAudio());
    std::this_thread::sleep_for(200ms);
  }
  for (const auto& [out, source, id] :
       {std::tuple{toneOut, wav, DeviceId{1}}, std::tuple{tuneOut, mid, DeviceId{2}}}) {
    ScopedEnv file("SDL_DISKAUDIOFILE", out.string());
    SdlMediaBackend backend;
    ASSERT_TRUE(backend.HasAudio());
    std::atomic<int> ends{0};
    backend.SetPlayEnded([&](DeviceId, std::uint32_t) { ++ends; });
    ASSERT_TRUE(backend.Open(id, source));
    ASSERT_TRUE(backend.Play(id, PlayFrom::Start, 1));
    ASSERT_TRUE(WaitFor([&] { return ends == 1; }));
  }
  const auto silent = LeftChannel(silentOut);
  const auto tone = LeftChannel(toneOut);
  const auto tune = LeftChannel(tuneOut);
  EXPECT_GT(silent.size(), 0U);
  EXPECT_EQ(LoudSamples(silent), 0);
  // 0.15 s of a 440 Hz tone is about 6600 frames, most of them loud.
  EXPECT_GT(LoudSamples(tone), 3000);
  EXPECT_LT(LoudSamples(tone), 6700);
  EXPECT_NEAR(PitchHz(tone), 440.0, 5.0);
  // The tune's middle C through the soundfont (262 Hz fundamental, with overtones).
  EXPECT_GT(LoudSamples(tune), 1000);
  RecordProperty("tone_loud_frames", static_cast<int>(LoudSamples(tone)));
  RecordProperty("tone_pitch_hz", static_cast<int>(PitchHz(tone)));
  RecordProperty("tune_loud_frames", static_cast<int>(LoudSamples(tune)));
}

// What a worker read ahead (on a thread of SDL's, as the program's loader does) is what the
// later Open plays, once: the file is not read again (it may be gone by then), and a second
// device of the same name loads it for itself.
TEST_F(SdlSoundTest, AnOpenTakesWhatWasPreloadedUnderItsNameOnce) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  EndLog log;
  backend.SetPlayEnded([&](DeviceId id, std::uint32_t ticket) {
    std::lock_guard<std::mutex> lock(log.mutex);
    log.ends.emplace_back(id, ticket);
  });
  struct Work {
    SdlMediaBackend& backend;
    std::vector<std::string> files;
    std::thread::id thread;
  } work{backend, {wav, mid, (dir.path() / "NONE.WAV").string()}, {}};
  TekuRunOnSdlThread(
      [](void* context) {
        auto& w = *static_cast<Work*>(context);
        w.thread = std::this_thread::get_id();
        for (const std::string& f : w.files) w.backend.Preload(f);
      },
      &work);
  EXPECT_NE(work.thread, std::this_thread::get_id());
  fs::remove(wav);
  fs::remove(mid);
  ASSERT_TRUE(backend.Open(1, wav));
  ASSERT_TRUE(backend.Open(2, mid));
  EXPECT_FALSE(backend.Open(3, wav)) << "taken by the first open, and gone from the disk";
  EXPECT_FALSE(backend.Open(3, (dir.path() / "NONE.WAV").string()));
  ASSERT_TRUE(backend.Play(1, PlayFrom::Start, 7));
  ASSERT_TRUE(WaitFor([&] { return log.size() == 1; }));
  EXPECT_EQ(log.ends[0], (std::pair<DeviceId, std::uint32_t>{1, 7}));
}

TEST_F(SdlSoundTest, WithoutAnAudioDeviceEveryOpenFailsSilently) {
  ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SdlMediaBackend backend;
  EXPECT_FALSE(backend.HasAudio());
  ManualQueue queue;
  SetSoundPlatform(&backend, queue.Poster());
  MainWindowStandIn window;
  window.devices.BgmMidPath = mid;
  window.devices.LeftWavPath = wav;
  window.devices.RightWavPath = wav;
  window.devices.FineWavPath = wav;
  ReopenSound(window.devices, &window);
  EXPECT_EQ(window.devices.BgmDevice, 0);
  EXPECT_EQ(window.devices.LeftWavDevice, 0);
  EXPECT_EQ(window.devices.RightWavDevice, 0);
  EXPECT_EQ(window.devices.FineWavDevice, 0);
  EXPECT_TRUE(WavePlay(window.devices.LeftWavDevice, &window));
  EXPECT_EQ(queue.size(), 0U);
  ResetSoundPlatform();
}

TEST_F(SdlSoundTest, OnlyOneLiveBackendHasAudio) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend first;
  SdlMediaBackend second;
  EXPECT_TRUE(first.HasAudio());
  EXPECT_FALSE(second.HasAudio());
  EXPECT_FALSE(second.Open(1, wav));
}

TEST_F(SdlSoundTest, StartingTheMixerLeavesTheTerminationSignalsAlone) {
  ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  SdlMediaBackend backend;
  ASSERT_TRUE(backend.HasAudio());
  for (const int s : {SIGTERM, SIGINT}) {
    struct sigaction action = {};
    sigaction(s, nullptr, &action);
    EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << s;
  }
}

}  // namespace
}  // namespace teku
