// The sound module is opened with dlopen and never closed: the player's code and SDL's threads
// live in it for the rest of the program.
#include "services/sound_loader.h"

#include <QMetaObject>
#include <QObject>
#include <dlfcn.h>

namespace teku {

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
  std::unique_ptr<SoundPlayer> player;
  if (void* module = ::dlopen(kSoundModule, RTLD_NOW | RTLD_LOCAL)) {
    const auto make = reinterpret_cast<SoundPlayerFactory>(::dlsym(module, kSoundPlayerFactory));
    if (make != nullptr && !cancel_) player.reset(make());
  }
  for (const std::string& file : files) {
    if (cancel_ || player == nullptr || !player->HasAudio()) break;
    player->Preload(file);
  }
  player_ = std::move(player);
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
