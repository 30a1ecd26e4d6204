// WAV effects and MIDI music through SDL2_mixer; a play's end leaves the audio thread only through
// the ended callback, which the sound operations turn into a task queued for the GUI thread.
#include "services/sound_sdl.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <utility>

#include "services/regular_file.h"

namespace teku {

namespace {

constexpr int kChannels = 32;
// The mixer is handed bytes we read ourselves: a FIFO or /dev/zero in a sound's place would
// block it or let it read without end. No effect or tune of ours comes near this size.
constexpr std::int64_t kSoundFileMax = 64 * 1024 * 1024;

// What the mixer's callbacks may look at. `armed` holds the ticket of the play whose natural end
// is to be reported, or 0; whoever clears it first (a halt on the GUI thread, or the end on the
// audio thread) decides, so a halted or replaced play can never be reported as finished.
struct Slot {
  std::atomic<DeviceId> owner{0};
  std::atomic<std::uint32_t> armed{0};
};

enum class Kind { Wave, Midi };

std::string LowerExtension(const std::string& fileName) {
  const auto dot = fileName.find_last_of('.');
  const auto slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return {};
  std::string ext = fileName.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

struct SdlMediaBackend::Impl {
  struct Device {
    Kind kind = Kind::Wave;
    Mix_Chunk* chunk = nullptr;
    int channel = -1;
    Mix_Music* music = nullptr;
    // A tune's bytes: the music player may read from them for as long as it plays.
    std::shared_ptr<const std::string> bytes;
  };

  bool audio = false;
  bool ownsSdlAudio = false;
  std::array<Slot, kChannels> channels;
  Slot music;
  std::map<DeviceId, Device> devices;
  // Loaded ahead by file name, not yet opened (no channel yet).
  std::map<std::string, Device> preloaded;

  // The chunk or the music of a file, without a channel; false when it cannot be loaded.
  static bool Load(const std::string& fileName, Device& d) {
    const std::string ext = LowerExtension(fileName);
    // The player is chosen by the extension, and we have none for other kinds.
    if (ext != "wav" && ext != "mid" && ext != "midi" && ext != "rmi") return false;
    auto bytes = std::make_shared<std::string>();
    if (ReadRegularFile(fileName, kSoundFileMax, *bytes) != FileRead::kOk) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size()));
    if (rw == nullptr) return false;
    if (ext == "wav") {
      d.kind = Kind::Wave;
      d.chunk = Mix_LoadWAV_RW(rw, 1);
      return d.chunk != nullptr;
    }
    d.kind = Kind::Midi;
    d.bytes = bytes;
    d.music = Mix_LoadMUSType_RW(rw, MUS_MID, 1);
    return d.music != nullptr;
  }

  static void Free(Device& d) {
    if (d.chunk != nullptr) Mix_FreeChunk(d.chunk);
    if (d.music != nullptr) Mix_FreeMusic(d.music);
    d.chunk = nullptr;
    d.music = nullptr;
  }

  std::mutex endedMutex;
  PlayEnded ended;

  void Report(Slot& slot) {
    const std::uint32_t ticket = slot.armed.exchange(0);
    if (ticket == 0) return;
    const DeviceId owner = slot.owner.load();
    std::lock_guard<std::mutex> lock(endedMutex);
    if (ended) ended(owner, ticket);
  }

  // Arms `slot` for a play that `start` has just begun. A sound shorter than the gap between the
  // start and the arming would have ended unseen, so a play already over is reported here.
  template <typename Start, typename StillPlaying>
  bool StartArmed(Slot& slot, DeviceId id, std::uint32_t ticket, Start start,
                  StillPlaying stillPlaying) {
    slot.armed.store(0);
    if (!start()) return false;
    slot.owner.store(id);
    slot.armed.store(ticket);
    if (!stillPlaying()) Report(slot);
    return true;
  }

  void Halt(Device& d, DeviceId id) {
    if (d.kind == Kind::Wave) {
      channels[static_cast<std::size_t>(d.channel)].armed.store(0);
      Mix_HaltChannel(d.channel);
    } else if (music.owner.load() == id) {
      music.armed.store(0);
      Mix_HaltMusic();
    }
  }

  Device* Find(DeviceId id) {
    auto it = devices.find(id);
    return it == devices.end() ? nullptr : &it->second;
  }
};

namespace {

// The mixer's callbacks take no user data, so they reach the one live backend through this.
std::atomic<SdlMediaBackend::Impl*> g_live{nullptr};

void SDLCALL OnChannelFinished(int channel) {
  SdlMediaBackend::Impl* impl = g_live.load();
  if (impl == nullptr || channel < 0 || channel >= kChannels) return;
  impl->Report(impl->channels[static_cast<std::size_t>(channel)]);
}

void SDLCALL OnMusicFinished() {
  SdlMediaBackend::Impl* impl = g_live.load();
  if (impl != nullptr) impl->Report(impl->music);
}

}  // namespace

SdlMediaBackend::SdlMediaBackend(const std::string& soundFont) : impl_(std::make_unique<Impl>()) {
  SdlMediaBackend::Impl* expected = nullptr;
  if (!g_live.compare_exchange_strong(expected, impl_.get())) return;
  // Left to itself, SDL's start-up turns SIGINT and SIGTERM into a quit event that nobody reads,
  // and the program could no longer be stopped; the program handles them itself.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    g_live.store(nullptr);
    return;
  }
  impl_->ownsSdlAudio = true;
  Mix_Init(MIX_INIT_MID);
  Mix_SetSoundFonts(soundFont.c_str());
  if (Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    impl_->ownsSdlAudio = false;
    g_live.store(nullptr);
    return;
  }
  Mix_AllocateChannels(kChannels);
  Mix_ChannelFinished(&OnChannelFinished);
  Mix_HookMusicFinished(&OnMusicFinished);
  impl_->audio = true;
}

SdlMediaBackend::~SdlMediaBackend() {
  if (!impl_->ownsSdlAudio) return;
  SetPlayEnded(nullptr);
  while (!impl_->devices.empty()) Close(impl_->devices.begin()->first);
  for (auto& [name, d] : impl_->preloaded) Impl::Free(d);
  Mix_ChannelFinished(nullptr);
  Mix_HookMusicFinished(nullptr);
  Mix_CloseAudio();
  Mix_Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_live.store(nullptr);
}

bool SdlMediaBackend::HasAudio() const { return impl_->audio; }

void SdlMediaBackend::SetPlayEnded(PlayEnded onEnded) {
  std::lock_guard<std::mutex> lock(impl_->endedMutex);
  impl_->ended = std::move(onEnded);
}

void SdlMediaBackend::Preload(const std::string& fileName) {
  if (!impl_->audio || impl_->preloaded.count(fileName) != 0) return;
  Impl::Device d;
  if (Impl::Load(fileName, d)) {
    impl_->preloaded[fileName] = d;
  } else {
    Impl::Free(d);
  }
}

bool SdlMediaBackend::Open(DeviceId id, const std::string& fileName) {
  if (!impl_->audio || id == 0 || impl_->devices.count(id) != 0) return false;
  Impl::Device d;
  if (const auto ahead = impl_->preloaded.find(fileName); ahead != impl_->preloaded.end()) {
    d = ahead->second;
    impl_->preloaded.erase(ahead);
  } else if (!Impl::Load(fileName, d)) {
    Impl::Free(d);
    return false;
  }
  if (d.kind == Kind::Wave) {
    int channel = -1;
    for (int c = 0; c < kChannels; ++c) {
      if (impl_->channels[static_cast<std::size_t>(c)].owner.load() == 0) {
        channel = c;
        break;
      }
    }
    if (channel < 0) {
      Impl::Free(d);
      return false;
    }
    d.channel = channel;
    impl_->channels[static_cast<std::size_t>(channel)].owner.store(id);
  }
  impl_->devices[id] = d;
  return true;
}

bool SdlMediaBackend::SeekToStart(DeviceId id) {
  Impl::Device* d = impl_->Find(id);
  if (d == nullptr) return false;
  impl_->Halt(*d, id);
  return true;
}

bool SdlMediaBackend::Play(DeviceId id, PlayFrom /*from*/, std::uint32_t ticket) {
  // Every play starts at the beginning: a stop or rewind is a halt, and nothing else moves the
  // position.
  Impl::Device* d = impl_->Find(id);
  if (d == nullptr || ticket == 0) return false;
  if (d->kind == Kind::Wave) {
    const int channel = d->channel;
    Mix_Chunk* chunk = d->chunk;
    return impl_->StartArmed(
        impl_->channels[static_cast<std::size_t>(channel)], id, ticket,
        [&] { return Mix_PlayChannel(channel, chunk, 0) == channel; },
        [&] { return Mix_Playing(channel) != 0; });
  }
  Mix_Music* music = d->music;
  return impl_->StartArmed(
      impl_->music, id, ticket, [&] { return Mix_PlayMusic(music, 0) == 0; },
      [] { return Mix_PlayingMusic() != 0; });
}

bool SdlMediaBackend::Stop(DeviceId id) {
  Impl::Device* d = impl_->Find(id);
  if (d == nullptr) return false;
  impl_->Halt(*d, id);
  return true;
}

bool SdlMediaBackend::Close(DeviceId id) {
  Impl::Device* d = impl_->Find(id);
  if (d == nullptr) return false;
  impl_->Halt(*d, id);
  if (d->kind == Kind::Wave) {
    Mix_FreeChunk(d->chunk);
    impl_->channels[static_cast<std::size_t>(d->channel)].owner.store(0);
  } else {
    if (impl_->music.owner.load() == id) impl_->music.owner.store(0);
    Mix_FreeMusic(d->music);
  }
  impl_->devices.erase(id);
  return true;
}

}  // namespace teku

extern "C" void TekuRunOnSdlThread(void (*work)(void*), void* context) {
  struct Call {
    void (*work)(void*);
    void* context;
  } call{work, context};
  SDL_Thread* thread = SDL_CreateThread(
      [](void* p) {
        const auto* c = static_cast<const Call*>(p);
        c->work(c->context);
        return 0;
      },
      "teku-sound", &call);
  if (thread == nullptr) {
    work(context);  // no thread to be had: the work is done here, at the cost of a few bytes
    return;
  }
  SDL_WaitThread(thread, nullptr);
}

extern "C" teku::SoundPlayer* TekuNewSoundPlayer() {
  try {
    return new teku::SdlMediaBackend();
  } catch (const std::bad_alloc&) {
    return nullptr;  // no player, as without an audio device
  }
}
