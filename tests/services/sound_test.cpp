// Sound devices over a fake player: ids, aliases, reopening, and which ends of a play count.
#include "services/sound.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace teku {
namespace {

// Tasks for the GUI thread wait here until the test lets the "event loop" run.
class FakeGuiQueue {
 public:
  GuiPoster Poster() {
    return [this](std::function<void()> task) { tasks_.push_back(std::move(task)); };
  }
  int Drain() {
    int ran = 0;
    while (!tasks_.empty()) {
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      task();
      ++ran;
    }
    return ran;
  }
  std::size_t size() const { return tasks_.size(); }

 private:
  std::deque<std::function<void()>> tasks_;
};

class FakeBackend : public MediaBackend {
 public:
  std::set<std::string> files;  // names that open
  bool refusePlay = false;
  bool refuseClose = false;
  std::vector<std::string> calls;
  std::map<DeviceId, std::uint32_t> lastTicket;

  void SetPlayEnded(PlayEnded onEnded) override { ended_ = std::move(onEnded); }
  bool Open(DeviceId device, const std::string& fileName) override {
    calls.push_back("open " + fileName);
    if (files.count(fileName) == 0) return false;
    EXPECT_EQ(open_.count(device), 0U) << "id handed out twice";
    open_.insert(device);
    return true;
  }
  bool SeekToStart(DeviceId device) override {
    calls.push_back("seek " + std::to_string(device));
    return open_.count(device) != 0;
  }
  bool Play(DeviceId device, PlayFrom from, std::uint32_t ticket) override {
    calls.push_back("play " + std::to_string(device) + (from == PlayFrom::Start ? " from 0" : ""));
    if (refusePlay || open_.count(device) == 0) return false;
    lastTicket[device] = ticket;
    return true;
  }
  bool Stop(DeviceId device) override {
    calls.push_back("stop " + std::to_string(device));
    return open_.count(device) != 0;
  }
  bool Close(DeviceId device) override {
    calls.push_back("close " + std::to_string(device));
    open_.erase(device);
    return !refuseClose;
  }
  // What the audio thread does when a sound runs out.
  void FinishPlay(DeviceId device, std::uint32_t ticket) { ended_(device, ticket); }
  void FinishLatestPlay(DeviceId device) { ended_(device, lastTicket.at(device)); }

 private:
  PlayEnded ended_;
  std::set<DeviceId> open_;
};

struct Received {
  std::uint32_t code;
  DeviceId device;
  bool operator==(const Received&) const = default;
};

// Stands in for the main window: keeps its four devices and answers notifications.
class FakeWindow : public SoundNotifyTarget {
 public:
  SoundDevices devices;
  bool soundOn = true;
  std::vector<Received> received;

  void SoundNotify(std::uint32_t code, DeviceId device) override {
    received.push_back({code, device});
    HandleSoundNotify(devices, code, device, soundOn, this);
  }
};

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetSoundPlatform();
    backend.files = {"BGM.MID", "HIDARI.WAV", "MIGI.WAV", "SEIKAI.WAV"};
    SetSoundPlatform(&backend, queue.Poster());
    window.devices.BgmMidPath = "BGM.MID";
    window.devices.LeftWavPath = "HIDARI.WAV";
    window.devices.RightWavPath = "MIGI.WAV";
    window.devices.FineWavPath = "SEIKAI.WAV";
  }
  void TearDown() override { ResetSoundPlatform(); }

  FakeGuiQueue queue;
  FakeBackend backend;
  FakeWindow window;
};

TEST_F(SoundTest, ReopenGivesFourDistinctNonzeroIdsAndTheEffectAliases) {
  ReopenSound(window.devices, &window);
  const SoundDevices& d = window.devices;
  std::set<DeviceId> ids = {d.BgmDevice, d.LeftWavDevice, d.RightWavDevice, d.FineWavDevice};
  EXPECT_EQ(ids.size(), 4U);
  EXPECT_EQ(ids.count(0), 0U);
  EXPECT_EQ(OpenSoundDeviceCount(), 4);
  EXPECT_EQ(SoundDeviceAlias(d.BgmDevice), "");
  EXPECT_EQ(SoundDeviceAlias(d.LeftWavDevice), "MYWAV0");
  EXPECT_EQ(SoundDeviceAlias(d.RightWavDevice), "MYWAV1");
  EXPECT_EQ(SoundDeviceAlias(d.FineWavDevice), "MYWAV2");
  // The music starts with the open.
  EXPECT_EQ(backend.calls[1], "play " + std::to_string(d.BgmDevice) + " from 0");
}

TEST_F(SoundTest, ReopeningClosesEverythingFirstAndNeverReusesALiveId) {
  ReopenSound(window.devices, &window);
  const SoundDevices first = window.devices;
  backend.calls.clear();
  ReopenSound(window.devices, &window);
  ASSERT_GE(backend.calls.size(), 4U);
  EXPECT_EQ(backend.calls[0], "close " + std::to_string(first.BgmDevice));
  EXPECT_EQ(backend.calls[1], "close " + std::to_string(first.LeftWavDevice));
  EXPECT_EQ(backend.calls[2], "close " + std::to_string(first.RightWavDevice));
  EXPECT_EQ(backend.calls[3], "close " + std::to_string(first.FineWavDevice));
  EXPECT_EQ(OpenSoundDeviceCount(), 4);
  EXPECT_EQ(SoundDeviceAlias(window.devices.LeftWavDevice), "MYWAV0");
}

TEST_F(SoundTest, MissingFilesLeaveTheirIdsZeroAndTheOthersWork) {
  backend.files = {"MIGI.WAV", "SEIKAI.WAV"};
  ReopenSound(window.devices, &window);
  EXPECT_EQ(window.devices.BgmDevice, 0);
  EXPECT_EQ(window.devices.LeftWavDevice, 0);
  ASSERT_NE(window.devices.RightWavDevice, 0);
  ASSERT_NE(window.devices.FineWavDevice, 0);
  EXPECT_TRUE(WavePlay(window.devices.RightWavDevice, &window));
  EXPECT_TRUE(WavePlay(window.devices.LeftWavDevice, &window));  // 0: nothing sent
  EXPECT_EQ(backend.calls.back(), "play " + std::to_string(window.devices.RightWavDevice));
}

TEST_F(SoundTest, EmptyFileNamesAreNotOpened) {
  window.devices.BgmMidPath.clear();
  window.devices.FineWavPath.clear();
  ReopenSound(window.devices, &window);
  EXPECT_EQ(window.devices.BgmDevice, 0);
  EXPECT_EQ(window.devices.FineWavDevice, 0);
  EXPECT_EQ(OpenSoundDeviceCount(), 2);
  int opens = 0;
  for (const auto& call : backend.calls) opens += call.rfind("open ", 0) == 0 ? 1 : 0;
  EXPECT_EQ(opens, 2);
}

TEST_F(SoundTest, WithoutABackendEveryOpenFailsAndIdsComeBackZero) {
  SetSoundPlatform(nullptr, queue.Poster());
  DeviceId id = 7;
  EXPECT_FALSE(WaveOpen(id, "HIDARI.WAV", &window));
  EXPECT_EQ(id, 0);
  id = 3;
  EXPECT_FALSE(MidiOpen(id, "BGM.MID", &window));
  EXPECT_EQ(id, 0);
  ReopenSound(window.devices, &window);
  EXPECT_EQ(window.devices.BgmDevice, 0);
  EXPECT_EQ(window.devices.LeftWavDevice, 0);
  EXPECT_EQ(window.devices.RightWavDevice, 0);
  EXPECT_EQ(window.devices.FineWavDevice, 0);
  EXPECT_TRUE(WavePlay(0, &window));
  EXPECT_TRUE(WaveStop(0));
  EXPECT_EQ(queue.size(), 0U);
}

TEST_F(SoundTest, ASecondOpenUnderATakenAliasIsRefused) {
  DeviceId a = 1;
  ASSERT_TRUE(WaveOpen(a, "MIGI.WAV", &window));
  DeviceId b = 1;
  EXPECT_FALSE(WaveOpen(b, "SEIKAI.WAV", &window));
  EXPECT_EQ(b, 0);
  WaveClose(a);
  b = 1;
  EXPECT_TRUE(WaveOpen(b, "SEIKAI.WAV", &window));
}

TEST_F(SoundTest, StopAndCloseResultsAndTheZeroedId) {
  DeviceId id = 0;
  EXPECT_TRUE(MidiStop(0));
  EXPECT_TRUE(MidiClose(id));
  EXPECT_FALSE(WaveStop(4242));  // nothing open under that id
  id = 4242;
  EXPECT_FALSE(WaveClose(id));
  EXPECT_EQ(id, 0);

  ASSERT_TRUE(WaveOpen(id, "HIDARI.WAV", &window));
  backend.refuseClose = true;
  const DeviceId was = id;
  EXPECT_FALSE(WaveClose(id));
  EXPECT_EQ(id, 0);
  EXPECT_FALSE(SoundDeviceIsOpen(was));
}

TEST_F(SoundTest, MidiOpenKeepsTheDeviceWhenThePlayIsRefused) {
  backend.refusePlay = true;
  DeviceId id = 0;
  EXPECT_FALSE(MidiOpen(id, "BGM.MID", &window));
  EXPECT_NE(id, 0);
  EXPECT_TRUE(SoundDeviceIsOpen(id));
  EXPECT_FALSE(MidiReplay(id, &window));
}

TEST_F(SoundTest, WavePlayRewindsThenPlaysFromThere) {
  ReopenSound(window.devices, &window);
  const DeviceId right = window.devices.RightWavDevice;
  backend.calls.clear();
  EXPECT_TRUE(WavePlay(right, &window));
  EXPECT_EQ(backend.calls,
            (std::vector<std::string>{"seek " + std::to_string(right), "play " + std::to_string(right)}));
}

TEST_F(SoundTest, AnEffectThatRunsOutIsStoppedOnlyWhenTheQueueRuns) {
  ReopenSound(window.devices, &window);
  const DeviceId left = window.devices.LeftWavDevice;
  WavePlay(left, &window);
  backend.calls.clear();
  backend.FinishLatestPlay(left);
  // Nothing happens on the audio thread's behalf until the GUI thread takes its queue.
  EXPECT_TRUE(backend.calls.empty());
  EXPECT_TRUE(window.received.empty());
  queue.Drain();
  EXPECT_EQ(window.received, (std::vector<Received>{{kNotifySuccessful, left}}));
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"stop " + std::to_string(left)}));
}

TEST_F(SoundTest, ARewoundEffectNeverReportsTheFirstPlayAsFinished) {
  ReopenSound(window.devices, &window);
  queue.Drain();
  const DeviceId right = window.devices.RightWavDevice;
  WavePlay(right, &window);
  const std::uint32_t firstPlay = backend.lastTicket.at(right);
  WavePlay(right, &window);  // a second click while the first sound is still going
  // The first play's end still arrives from the audio thread, late.
  backend.FinishPlay(right, firstPlay);
  backend.calls.clear();
  queue.Drain();
  ASSERT_EQ(window.received.size(), 1U);
  EXPECT_NE(window.received[0].code, kNotifySuccessful);
  EXPECT_EQ(window.received[0].device, right);
  EXPECT_TRUE(backend.calls.empty()) << "the cut-off play stopped the new one";

  backend.FinishLatestPlay(right);
  queue.Drain();
  EXPECT_EQ(window.received.back(), (Received{kNotifySuccessful, right}));
}

TEST_F(SoundTest, MusicLoopsWhileSoundIsOnAndStopsWhenItIsOff) {
  ReopenSound(window.devices, &window);
  const DeviceId bgm = window.devices.BgmDevice;
  for (int round = 0; round < 3; ++round) {
    backend.calls.clear();
    backend.FinishLatestPlay(bgm);
    queue.Drain();
    EXPECT_EQ(backend.calls, (std::vector<std::string>{"play " + std::to_string(bgm) + " from 0"}));
  }
  window.soundOn = false;
  backend.calls.clear();
  backend.FinishLatestPlay(bgm);
  queue.Drain();
  EXPECT_EQ(backend.calls, (std::vector<std::string>{"stop " + std::to_string(bgm)}));
}

TEST_F(SoundTest, EndsOfStoppedOrClosedPlaysAreIgnored) {
  ReopenSound(window.devices, &window);
  queue.Drain();
  DeviceId fine = window.devices.FineWavDevice;
  WavePlay(fine, &window);
  WaveStop(fine);
  backend.FinishLatestPlay(fine);
  queue.Drain();
  ASSERT_EQ(window.received.size(), 1U);
  EXPECT_EQ(window.received[0], (Received{kNotifyAborted, fine}));

  const DeviceId bgm = window.devices.BgmDevice;
  const std::uint32_t musicPlay = backend.lastTicket.at(bgm);
  CloseSound(window.devices);  // sound switched off: the music stops at once
  backend.FinishPlay(bgm, musicPlay);
  backend.calls.clear();
  queue.Drain();
  EXPECT_TRUE(backend.calls.empty());
  for (const auto& r : window.received) EXPECT_NE(r.code, kNotifySuccessful);
}

TEST_F(SoundTest, OnlyTheSuccessfulCodeActs) {
  ReopenSound(window.devices, &window);
  backend.calls.clear();
  for (std::uint32_t code : {kNotifySuperseded, kNotifyAborted, kNotifyFailure}) {
    HandleSoundNotify(window.devices, code, window.devices.LeftWavDevice, true, &window);
    HandleSoundNotify(window.devices, code, window.devices.BgmDevice, true, &window);
  }
  EXPECT_TRUE(backend.calls.empty());
}

TEST_F(SoundTest, NotificationsQueuedBeforeAPlatformChangeAreDropped) {
  ReopenSound(window.devices, &window);
  WavePlay(window.devices.LeftWavDevice, &window);
  WavePlay(window.devices.LeftWavDevice, &window);  // queues a non-success notification
  backend.FinishLatestPlay(window.devices.LeftWavDevice);
  ASSERT_GT(queue.size(), 0U);
  ResetSoundPlatform();
  queue.Drain();
  EXPECT_TRUE(window.received.empty());
}

}  // namespace
}  // namespace teku
