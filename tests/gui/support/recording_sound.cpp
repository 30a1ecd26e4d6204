#include "recording_sound.h"

namespace teku::testing {

bool RecordingBackend::Open(DeviceId device, const std::string& fileName) {
  open_.emplace_back(device, fileName);
  return true;
}

bool RecordingBackend::Play(DeviceId device, PlayFrom, std::uint32_t) {
  for (const auto& [id, name] : open_) {
    if (id == device) plays.push_back(name);
  }
  return true;
}

RecordedClicks::RecordedClicks(SoundDevices& devices, SoundNotifyTarget* window) {
  SetSoundPlatform(&backend, [](std::function<void()>) {});
  devices.LeftWavDevice = 0;  // the value before an open picks its alias
  WaveOpen(devices.LeftWavDevice, "HIDARI.WAV", window);
  devices.RightWavDevice = 1;
  WaveOpen(devices.RightWavDevice, "MIGI.WAV", window);
}

RecordedClicks::~RecordedClicks() { SetSoundPlatform(nullptr, nullptr); }

}  // namespace teku::testing
