// Where the program keeps its settings and log and finds its data.
#include "desktop/program_folders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace teku {
namespace {

struct FakeSystem {
  std::set<std::string> writable, directories;
  FolderProbes probes() const {
    return {[this](const std::string& d) { return writable.count(d) != 0; },
            [this](const std::string& d) { return directories.count(d) != 0; }};
  }
};

TEST(ProgramFolders, AWritableProgramFolderKeepsEverythingBesideTheExecutable) {
  FakeSystem system;
  system.writable = {"/home/u/teku/build/program/"};
  const ProgramFolders f = DecideProgramFolders("/home/u/teku/build/program/TEKUCROS.EXE",
                                                {"/home/u", "/x/config", "/x/state"}, system.probes());
  EXPECT_TRUE(f.portable);
  EXPECT_EQ(f.programDir, "/home/u/teku/build/program/");
  EXPECT_EQ(f.settingsDir, f.programDir);
  EXPECT_EQ(f.stateDir, f.programDir);
}

TEST(ProgramFolders, AReadOnlyProgramFolderKeepsItsDataAndSendsSettingsToTheXdgFolders) {
  FakeSystem system;
  const std::string exe = "/media/cd/TEKUCROS.EXE";
  ProgramFolders f = DecideProgramFolders(exe, {"/home/u", "", ""}, system.probes());
  EXPECT_FALSE(f.portable);
  EXPECT_EQ(f.programDir, "/media/cd/");
  EXPECT_EQ(f.settingsDir, "/home/u/.config/tekucros/");
  EXPECT_EQ(f.stateDir, "/home/u/.local/state/tekucros/");
  f = DecideProgramFolders(exe, {"/home/u", "/cfg/", "/st"}, system.probes());
  EXPECT_EQ(f.settingsDir, "/cfg/tekucros/");
  EXPECT_EQ(f.stateDir, "/st/tekucros/");
  f = DecideProgramFolders(exe, {"/home/u", "cfg", "st"}, system.probes());
  EXPECT_EQ(f.settingsDir, "/home/u/.config/tekucros/") << "relative values are ignored";
  f = DecideProgramFolders(exe, {"", "", ""}, system.probes());
  EXPECT_EQ(f.settingsDir, "") << "no home: no settings folder rather than the current one";
  EXPECT_EQ(f.stateDir, "");
}

TEST(ProgramFolders, AnInstalledProgramTakesItsDataFromTheSharedFolderEvenWhenThePrefixIsWritable) {
  FakeSystem system;
  system.writable = {"/home/u/.local/bin/"};
  system.directories = {"/home/u/.local/share/tekucros/"};
  const ProgramFolders f = DecideProgramFolders("/home/u/.local/bin/TEKUCROS.EXE", {"/home/u", "", ""},
                                                system.probes());
  EXPECT_FALSE(f.portable);
  EXPECT_EQ(f.programDir, "/home/u/.local/share/tekucros/");
  EXPECT_EQ(f.settingsDir, "/home/u/.config/tekucros/");
}

TEST(ProgramFolders, MakeFoldersCreatesTheWholePathAndFailsBelowAFile) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "teku-make-folders";
  fs::remove_all(root);
  fs::create_directories(root);
  EXPECT_TRUE(MakeFolders((root / "a/b/tekucros/").string()));
  EXPECT_TRUE(fs::is_directory(root / "a/b/tekucros"));
  EXPECT_TRUE(MakeFolders((root / "a/b/tekucros/").string())) << "again: it is there";
  std::ofstream(root / "file") << "x";
  EXPECT_FALSE(MakeFolders((root / "file/tekucros/").string()));
  EXPECT_FALSE(MakeFolders(""));
  fs::remove_all(root);
}

}  // namespace
}  // namespace teku
