// A media backend that opens every name and records the plays, for window tests.
#pragma once

#include <string>
#include <vector>

#include "services/sound.h"

namespace teku::testing {

class RecordingBackend : public MediaBackend {
 public:
  std::vector<std::string> plays;  // the file names played, in order

  void SetPlayEnded(PlayEnded) override {}
  bool Open(DeviceId device, const std::string& fileName) override;
  bool SeekToStart(DeviceId) override { return true; }
  bool Play(DeviceId device, PlayFrom, std::uint32_t) override;
  bool Stop(DeviceId) override { return true; }
  bool Close(DeviceId) override { return true; }

 private:
  std::vector<std::pair<DeviceId, std::string>> open_;
};

// Installs a recording backend for the lifetime of the object and opens the click sounds of
// `devices` as "HIDARI.WAV" and "MIGI.WAV".
class RecordedClicks {
 public:
  RecordedClicks(SoundDevices& devices, SoundNotifyTarget* window);
  ~RecordedClicks();
  RecordingBackend backend;
};

}  // namespace teku::testing
