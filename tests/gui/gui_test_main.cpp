// The window tests' entry: one QApplication (offscreen platform) for every test.
#include <QApplication>
#include <gtest/gtest.h>

#include "services/sound_loader.h"

int main(int argc, char** argv) {
  // Set here as well as in the test properties: ctest hands a test only the first variable of
  // that list, and without a dummy driver the player reaches for a sound card.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
  QApplication app(argc, argv);
  // The windows of the tests load the player from the built program folder.
  teku::SetSoundModuleFolder(std::string(TEKU_PROGRAM_DIR) + "/");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
