// Loading the sound player away from the GUI thread: the sound module (SDL2_mixer and the MIDI
// synthesizer's libraries are loaded only then), the audio device, and the files about to be
// opened, so that the soundfont is read while the window already answers.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "services/sound_sdl.h"

class QObject;

namespace teku {

// The module's file name; it lies in the folder of the running executable.
inline constexpr char kSoundModule[] = "libtekusound.so";
// Test hook: the module is taken from this folder (ending with '/') instead; empty turns the
// hook off.
void SetSoundModuleFolder(const std::string& folder);

class SoundLoader {
 public:
  // The player, or null when the module or its libraries cannot be loaded; the program then
  // has no audio, as on a machine without an audio device.
  using Ready = std::function<void(std::unique_ptr<SoundPlayer>)>;

  // `ready` runs on the thread that makes the loader, from its event loop.
  explicit SoundLoader(Ready ready);
  // A load in progress stops after the step it is in, and is waited for.
  ~SoundLoader();
  SoundLoader(const SoundLoader&) = delete;
  SoundLoader& operator=(const SoundLoader&) = delete;

  // Starts the one load, preloading `files` (see SoundPlayer::Preload); later calls do nothing.
  void Start(std::vector<std::string> files);
  bool started() const { return started_; }

 private:
  void Run(const std::vector<std::string>& files);
  void Finish();

  Ready ready_;
  // Receives the worker's hand-over; going with the loader, it takes a hand-over still queued
  // with it.
  std::unique_ptr<QObject> receiver_;
  bool started_ = false;
  std::atomic<bool> cancel_{false};
  std::unique_ptr<SoundPlayer> player_;  // the worker's result until Finish hands it over
  std::thread worker_;
};

// Runs each task later on `context`'s thread, from its event loop (a queued call); tasks still
// waiting when `context` is destroyed are dropped. Safe from any thread while `context` lives,
// so a backend posting through it must be destroyed before `context`.
GuiPoster QueuedGuiPoster(QObject* context);

}  // namespace teku
