// Background music and sound effects over the installed media backend.
#include "services/sound.h"

#include <map>
#include <utility>

namespace teku {
namespace {

struct OpenDevice {
  std::string alias;
  // The play whose end may still be reported, and to whom; 0 when none is outstanding.
  std::uint32_t pendingTicket = 0;
  SoundNotifyTarget* pendingTarget = nullptr;
};

struct SoundState {
  MediaBackend* backend = nullptr;
  GuiPoster post;
  std::map<DeviceId, OpenDevice> devices;
  DeviceId lastId = 0;
  std::uint32_t lastTicket = 0;
  // Bumped whenever the platform changes, so that tasks queued for an earlier one fall away.
  std::uint64_t generation = 0;
};

SoundState& State() {
  static SoundState state;
  return state;
}

OpenDevice* Find(DeviceId id) {
  auto& devices = State().devices;
  auto it = devices.find(id);
  return it == devices.end() ? nullptr : &it->second;
}

void Post(SoundNotifyTarget* target, std::uint32_t code, DeviceId id) {
  SoundState& s = State();
  if (target == nullptr || !s.post) return;
  const std::uint64_t generation = s.generation;
  s.post([generation, target, code, id] {
    if (State().generation == generation) target->SoundNotify(code, id);
  });
}

// A play that is cut short or replaced gets its own code, never the successful one, so the
// window's handler cannot mistake a rewound effect for one that finished.
void EndPending(DeviceId id, OpenDevice& device, std::uint32_t code) {
  if (device.pendingTicket == 0) return;
  SoundNotifyTarget* target = device.pendingTarget;
  device.pendingTicket = 0;
  device.pendingTarget = nullptr;
  Post(target, code, id);
}

// Runs on the GUI thread, from the queue.
void OnPlayEnded(std::uint64_t generation, DeviceId id, std::uint32_t ticket) {
  if (State().generation != generation) return;
  OpenDevice* device = Find(id);
  if (device == nullptr || ticket == 0 || device->pendingTicket != ticket) return;
  SoundNotifyTarget* target = device->pendingTarget;
  device->pendingTicket = 0;
  device->pendingTarget = nullptr;
  if (target != nullptr) target->SoundNotify(kNotifySuccessful, id);
}

std::uint32_t NextTicket() {
  SoundState& s = State();
  if (++s.lastTicket == 0) s.lastTicket = 1;
  return s.lastTicket;
}

// Ids move on from the last one handed out, so a just-closed id is not reused at once.
DeviceId AllocateId() {
  SoundState& s = State();
  DeviceId id = s.lastId;
  for (int tries = 0; tries < 0x10000; ++tries) {
    ++id;
    if (id == 0) continue;
    if (s.devices.count(id) == 0) {
      s.lastId = id;
      return id;
    }
  }
  return 0;
}

DeviceId OpenDeviceFor(const std::string& fileName, const std::string& alias) {
  SoundState& s = State();
  if (s.backend == nullptr) return 0;
  if (!alias.empty()) {
    for (const auto& [id, device] : s.devices) {
      if (device.alias == alias) return 0;
    }
  }
  const DeviceId id = AllocateId();
  if (id == 0 || !s.backend->Open(id, fileName)) return 0;
  s.devices[id].alias = alias;
  return id;
}

bool PlayDevice(DeviceId id, PlayFrom from, SoundNotifyTarget* window) {
  OpenDevice* device = Find(id);
  if (device == nullptr) return false;
  EndPending(id, *device, kNotifySuperseded);
  const std::uint32_t ticket = NextTicket();
  device->pendingTicket = ticket;
  device->pendingTarget = window;
  if (State().backend->Play(id, from, ticket)) return true;
  device->pendingTicket = 0;
  device->pendingTarget = nullptr;
  return false;
}

bool StopDevice(DeviceId id) {
  if (id == 0) return true;
  OpenDevice* device = Find(id);
  if (device == nullptr) return false;
  EndPending(id, *device, kNotifyAborted);
  return State().backend->Stop(id);
}

bool CloseDevice(DeviceId& id) {
  const DeviceId closing = id;
  id = 0;
  if (closing == 0) return true;
  OpenDevice* device = Find(closing);
  if (device == nullptr) return false;
  EndPending(closing, *device, kNotifyAborted);
  const bool closed = State().backend->Close(closing);
  // Forgotten even when the backend refused: the caller's id is 0 from now on, and a device
  // nobody can name would keep its alias taken for good.
  State().devices.erase(closing);
  return closed;
}

}  // namespace

void SetSoundPlatform(MediaBackend* backend, GuiPoster post) {
  SoundState& s = State();
  ++s.generation;
  s.devices.clear();
  s.backend = backend;
  s.post = post;
  if (backend == nullptr) return;
  const std::uint64_t generation = s.generation;
  // May run on an audio thread: it touches nothing but its own copy of the poster.
  backend->SetPlayEnded([post, generation](DeviceId id, std::uint32_t ticket) {
    if (post) post([generation, id, ticket] { OnPlayEnded(generation, id, ticket); });
  });
}

void ResetSoundPlatform() {
  SetSoundPlatform(nullptr, nullptr);
  State().lastId = 0;
  State().lastTicket = 0;
}

bool WaveOpen(DeviceId& deviceId, const std::string& fileName, SoundNotifyTarget* /*window*/) {
  // The callback window only matters to the plays; the open itself waits and reports nothing.
  deviceId = OpenDeviceFor(fileName, "MYWAV" + std::to_string(deviceId));
  return deviceId != 0;
}

bool MidiOpen(DeviceId& deviceId, const std::string& fileName, SoundNotifyTarget* window) {
  deviceId = OpenDeviceFor(fileName, "");
  if (deviceId == 0) return false;
  return PlayDevice(deviceId, PlayFrom::Start, window);
}

bool MidiStop(DeviceId deviceId) { return StopDevice(deviceId); }
bool WaveStop(DeviceId deviceId) { return StopDevice(deviceId); }
bool MidiClose(DeviceId& deviceId) { return CloseDevice(deviceId); }
bool WaveClose(DeviceId& deviceId) { return CloseDevice(deviceId); }

bool MidiReplay(DeviceId deviceId, SoundNotifyTarget* window) {
  if (deviceId == 0) return true;
  return PlayDevice(deviceId, PlayFrom::Start, window);
}

bool WavePlay(DeviceId deviceId, SoundNotifyTarget* window) {
  if (deviceId == 0) return true;
  if (OpenDevice* device = Find(deviceId)) {
    EndPending(deviceId, *device, kNotifyAborted);
    State().backend->SeekToStart(deviceId);
  }
  return PlayDevice(deviceId, PlayFrom::Current, window);
}

bool SoundDeviceIsOpen(DeviceId deviceId) { return Find(deviceId) != nullptr; }

std::string SoundDeviceAlias(DeviceId deviceId) {
  const OpenDevice* device = Find(deviceId);
  return device == nullptr ? std::string() : device->alias;
}

int OpenSoundDeviceCount() { return static_cast<int>(State().devices.size()); }

void CloseSound(SoundDevices& d) {
  if (d.BgmDevice != 0) MidiClose(d.BgmDevice);
  if (d.LeftWavDevice != 0) WaveClose(d.LeftWavDevice);
  if (d.RightWavDevice != 0) WaveClose(d.RightWavDevice);
  if (d.FineWavDevice != 0) WaveClose(d.FineWavDevice);
}

void ReopenSound(SoundDevices& d, SoundNotifyTarget* window) {
  CloseSound(d);
  if (!d.BgmMidPath.empty()) MidiOpen(d.BgmDevice, d.BgmMidPath, window);
  // The value stored just before each open picks the effect's alias: MYWAV0, MYWAV1, MYWAV2.
  if (!d.LeftWavPath.empty()) {
    d.LeftWavDevice = 0;
    WaveOpen(d.LeftWavDevice, d.LeftWavPath, window);
  }
  if (!d.RightWavPath.empty()) {
    d.RightWavDevice = 1;
    if (!WaveOpen(d.RightWavDevice, d.RightWavPath, window)) d.RightWavDevice = 0;
  }
  if (!d.FineWavPath.empty()) {
    d.FineWavDevice = 2;
    if (!WaveOpen(d.FineWavDevice, d.FineWavPath, window)) d.FineWavDevice = 0;
  }
}

void HandleSoundNotify(SoundDevices& d, std::uint32_t code, DeviceId device, bool soundOn,
                       SoundNotifyTarget* window) {
  if (code != kNotifySuccessful || device == 0) return;
  if (device == d.LeftWavDevice) WaveStop(d.LeftWavDevice);
  if (device == d.RightWavDevice) WaveStop(d.RightWavDevice);
  if (device == d.FineWavDevice) WaveStop(d.FineWavDevice);
  if (device == d.BgmDevice) {
    if (soundOn) {
      MidiReplay(d.BgmDevice, window);
    } else {
      MidiStop(d.BgmDevice);
    }
  }
}

}  // namespace teku
