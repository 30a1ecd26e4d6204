// The program's player: WAV effects and MIDI music through SDL2_mixer. It is built as a module
// of its own (with the factory below), which the program loads only once its window is up.
#pragma once

#include <memory>
#include <string>

#include "services/sound.h"

namespace teku {

inline constexpr char kGeneralMidiSoundFont[] = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// What the program holds of the module's player: the program never links the player's code, so
// it reaches it only through this interface.
class SoundPlayer : public MediaBackend {
 public:
  // Whether an audio device was opened.
  virtual bool HasAudio() const = 0;
  // Reads and decodes a file ahead of its Open: an Open of the same name then takes what was
  // loaded instead of loading it again. For the thread that prepares the player before the
  // GUI thread takes it over; a file that cannot be loaded is left to its Open.
  virtual void Preload(const std::string& fileName) = 0;
};

// Each WAV device is a chunk on a channel of its own, so effects overlap freely; MIDI devices play
// as the mixer's one music stream, so starting one cuts off another. A stop or rewind halts the
// sound, and the next play starts from the beginning. A piece of music counts as ended once its
// last notes have died away, up to two seconds after its last event. The ended callback comes
// from the audio thread. Only one instance may be alive at a time (the mixer's callbacks are
// process-wide); a second one, like a machine without an audio device, has no audio and opens
// nothing.
class SdlMediaBackend final : public SoundPlayer {
 public:
  explicit SdlMediaBackend(const std::string& soundFont = kGeneralMidiSoundFont);
  ~SdlMediaBackend() override;
  SdlMediaBackend(const SdlMediaBackend&) = delete;
  SdlMediaBackend& operator=(const SdlMediaBackend&) = delete;

  bool HasAudio() const override;
  void Preload(const std::string& fileName) override;

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

// The module's entry points, looked up by these names. The factory makes a new player with the
// general MIDI soundfont (the caller owns it). The runner runs `work(context)` on a thread of
// SDL's own and waits for it: SDL frees what it keeps for a thread (its error text) only when
// one of its own threads ends, so a player is made and fed there rather than on a thread of ours.
inline constexpr char kSoundPlayerFactory[] = "TekuNewSoundPlayer";
using SoundPlayerFactory = SoundPlayer* (*)();
inline constexpr char kSdlThreadRunner[] = "TekuRunOnSdlThread";
using SdlThreadRunner = void (*)(void (*work)(void*), void* context);

}  // namespace teku

extern "C" teku::SoundPlayer* TekuNewSoundPlayer();
extern "C" void TekuRunOnSdlThread(void (*work)(void*), void* context);
