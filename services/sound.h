// Background music and sound effects: device ids, the open/play/stop/close operations, the four
// devices of the main window and the handling of a play's completion notification.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace teku {

// 0 means "no device" everywhere; every operation handed 0 does nothing.
using DeviceId = std::uint16_t;

// Completion codes, with the values the Windows build received them with.
inline constexpr std::uint32_t kNotifySuccessful = 1;
inline constexpr std::uint32_t kNotifySuperseded = 2;
inline constexpr std::uint32_t kNotifyAborted = 4;
inline constexpr std::uint32_t kNotifyFailure = 8;

// The window that receives completion notifications. SoundNotify runs on the GUI thread from its
// event loop, never from inside a sound operation and never on an audio thread.
class SoundNotifyTarget {
 public:
  virtual ~SoundNotifyTarget() = default;
  virtual void SoundNotify(std::uint32_t code, DeviceId device) = 0;
};

// Hands a task to the GUI thread's event loop; it runs later, in order. Must be safe to call from
// any thread. The program queues onto its Qt event loop; tests keep a queue they drain by hand.
using GuiPoster = std::function<void(std::function<void()>)>;

enum class PlayFrom { Current, Start };

// What the sound operations need from the platform's player. Ids are allocated by the sound
// module; the backend only keeps what it opened under them. Every call but the ended callback
// happens on the GUI thread.
class MediaBackend {
 public:
  // `ticket` identifies one play. The backend reports a play that reached its end by itself
  // (not one that was stopped, rewound, replaced or closed), from any thread, at most once.
  using PlayEnded = std::function<void(DeviceId device, std::uint32_t ticket)>;

  virtual ~MediaBackend() = default;
  virtual void SetPlayEnded(PlayEnded onEnded) = 0;
  // Opens `fileName` with the player its extension selects.
  virtual bool Open(DeviceId device, const std::string& fileName) = 0;
  virtual bool SeekToStart(DeviceId device) = 0;
  // Starts playing without waiting for the end.
  virtual bool Play(DeviceId device, PlayFrom from, std::uint32_t ticket) = 0;
  virtual bool Stop(DeviceId device) = 0;
  virtual bool Close(DeviceId device) = 0;
};

// Routes every sound operation to `backend` (not owned) and queues notifications through `post`.
// Devices still open are forgotten, not closed, and tasks already queued fall away. Without a
// backend (the state at start) every open fails, as on a machine without an audio device. The
// owner calls SetSoundPlatform(nullptr, nullptr) before the backend or the poster's target dies.
void SetSoundPlatform(MediaBackend* backend, GuiPoster post);
// Back to the state at start: no backend, no devices.
void ResetSoundPlatform();

// Opens a WAV file under the alias "MYWAV" + the value DeviceId holds on entry; DeviceId then
// becomes the new id, or 0 on failure (also when another open device already has that alias).
bool WaveOpen(DeviceId& deviceId, const std::string& fileName, SoundNotifyTarget* window);
// Opens a MIDI file and starts it from the beginning. DeviceId becomes the new id or 0; once
// open, the result says whether the play was accepted, and the device stays open either way.
bool MidiOpen(DeviceId& deviceId, const std::string& fileName, SoundNotifyTarget* window);
// True when DeviceId is 0 or the stop was accepted.
bool MidiStop(DeviceId deviceId);
bool WaveStop(DeviceId deviceId);
// DeviceId becomes 0 whatever happens; true when it was 0 or the close was accepted.
bool MidiClose(DeviceId& deviceId);
bool WaveClose(DeviceId& deviceId);
// Plays again from the beginning; true when DeviceId is 0 or the play was accepted.
bool MidiReplay(DeviceId deviceId, SoundNotifyTarget* window);
// Rewinds (a play still sounding is cut off and never reports success), then plays; true when
// DeviceId is 0 or the play was accepted.
bool WavePlay(DeviceId deviceId, SoundNotifyTarget* window);

// For checks: whether the id is an open device, and the alias it was opened under ("" if none).
bool SoundDeviceIsOpen(DeviceId deviceId);
std::string SoundDeviceAlias(DeviceId deviceId);
int OpenSoundDeviceCount();

// The main window's four devices and the files they play.
struct SoundDevices {
  DeviceId BgmDevice = 0;
  DeviceId LeftWavDevice = 0;
  DeviceId RightWavDevice = 0;
  DeviceId FineWavDevice = 0;
  std::string BgmMidPath;
  std::string LeftWavPath;
  std::string RightWavPath;
  std::string FineWavPath;
};

// Closes whichever of the four devices are open; the music stops at once.
void CloseSound(SoundDevices& devices);
// Closes all four, then opens each whose file name is not empty; the music starts at once.
void ReopenSound(SoundDevices& devices, SoundNotifyTarget* window);
// The main window's response to a completion notification: only a successful end counts; an
// effect is stopped, the music replays while sound is on and is stopped otherwise.
void HandleSoundNotify(SoundDevices& devices, std::uint32_t code, DeviceId device, bool soundOn,
                       SoundNotifyTarget* window);

}  // namespace teku
