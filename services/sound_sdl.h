// The program's player: WAV effects and MIDI music through SDL2_mixer, and the queued hand-over
// of a play's end to the Qt event loop.
#pragma once

#include <memory>
#include <string>

#include "services/sound.h"

class QObject;

namespace teku {

inline constexpr char kGeneralMidiSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// Each WAV device is a chunk on a channel of its own, so effects overlap freely; MIDI devices play
// as the mixer's one music stream, so starting one cuts off another. A stop or rewind halts the
// sound, and the next play starts from the beginning. A piece of music counts as ended once its
// last notes have died away, up to two seconds after its last event. The ended callback comes
// from the audio thread. Only one instance may be alive at a time (the mixer's callbacks are
// process-wide); a second one, like a machine without an audio device, has no audio and opens
// nothing.
class SdlMediaBackend : public MediaBackend {
 public:
  explicit SdlMediaBackend(const std::string& soundFont = kGeneralMidiSoundFont);
  ~SdlMediaBackend() override;
  SdlMediaBackend(const SdlMediaBackend&) = delete;
  SdlMediaBackend& operator=(const SdlMediaBackend&) = delete;

  // Whether an audio device was opened.
  bool HasAudio() const;

  void SetPlayEnded(PlayEnded onEnded) override;
  bool Open(DeviceId device, const std::string& fileName) override;
  bool SeekToStart(DeviceId device) override;
  bool Play(DeviceId device, PlayFrom from, std::uint32_t ticket) override;
  bool Stop(DeviceId device) override;
  bool Close(DeviceId device) override;

  struct Impl;  // opaque; named here only so the mixer's callbacks can reach it

 private:
  std::unique_ptr<Impl> impl_;
};

// Runs each task later on `context`'s thread, from its event loop (a queued call); tasks still
// waiting when `context` is destroyed are dropped. Safe from any thread while `context` lives,
// so a backend posting through it must be destroyed before `context`.
GuiPoster QueuedGuiPoster(QObject* context);

}  // namespace teku
