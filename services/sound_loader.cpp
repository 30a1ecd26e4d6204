// The sound module is opened with dlopen and never closed: the player's code and SDL's threads
// live in it for the rest of the program.
#include "services/sound_loader.h"

#include <QMetaObject>
#include <QObject>
#include <dlfcn.h>

#include "services/ziredizu.h"

namespace teku {

namespace {
std::string g_moduleFolder;

std::string ModulePath() {
  if (!g_moduleFolder.empty()) return g_moduleFolder + kSoundModule;
  const std::string exe = ZIREDIZU::RunningExecutable();
  return exe.substr(0, exe.find_last_of('/') + 1) + kSoundModule;
}
}  // namespace

void SetSoundModuleFolder(const std::string& folder) { g_moduleFolder = folder; }

SoundLoader::SoundLoader(Ready ready) : ready_(std::move(ready)), receiver_(std::make_unique<QObject>()) {}

SoundLoader::~SoundLoader() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

void SoundLoader::Start(std::vector<std::string> files) {
  if (started_) return;
  started_ = true;
  worker_ = std::thread([this, files = std::move(files)] { Run(files); });
}

void SoundLoader::Run(const std::vector<std::string>& files) {
  struct Job {
    SoundPlayerFactory make;
    const std::vector<std::string>& files;
    const std::atomic<bool>& cancel;
    std::unique_ptr<SoundPlayer> player;
  };
  if (void* module = ::dlopen(ModulePath().c_str(), RTLD_NOW | RTLD_LOCAL)) {
    const auto make = reinterpret_cast<SoundPlayerFactory>(::dlsym(module, kSoundPlayerFactory));
    const auto run = reinterpret_cast<SdlThreadRunner>(::dlsym(module, kSdlThreadRunner));
    Job job{make, files, cancel_, nullptr};
    if (make != nullptr && run != nullptr && !cancel_) {
      run(
          [](void* context) {
            Job& j = *static_cast<Job*>(context);
            j.player.reset(j.make());
            for (const std::string& file : j.files) {
              if (j.cancel || j.player == nullptr || !j.player->HasAudio()) break;
              j.player->Preload(file);
            }
          },
          &job);
    }
    player_ = std::move(job.player);
  }
  QMetaObject::invokeMethod(receiver_.get(), [this] { Finish(); }, Qt::QueuedConnection);
}

void SoundLoader::Finish() {
  // The worker has posted this as its last act; joining it makes its result ours.
  if (worker_.joinable()) worker_.join();
  if (ready_) ready_(std::move(player_));
}

GuiPoster QueuedGuiPoster(QObject* context) {
  return [context](std::function<void()> task) {
    QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
  };
}

}  // namespace teku
