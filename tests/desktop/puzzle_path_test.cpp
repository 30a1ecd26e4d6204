// Puzzle paths as the user names them and as the settings keep them.
#include "desktop/puzzle_path.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace teku {
namespace {

TEST(PuzzlePath, BareNamesLieInTheProgramFolderAndPathsAnywhere) {
  EXPECT_EQ(ResolveInFolder("/p/", "A.CRS"), "/p/A.CRS");
  EXPECT_EQ(ResolveInFolder("/p/", "/home/u/A.CRS"), "/home/u/A.CRS");
  EXPECT_EQ(ResolveInFolder("/p/", "./A.CRS"), "./A.CRS");
}

TEST(PuzzlePath, ThePuzzleNameIsBareOnlyInTheProgramFolderHoweverItIsSpelt) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "teku-puzzle-name";
  fs::remove_all(root);
  fs::create_directories(root / "program");
  fs::create_directories(root / "elsewhere");
  fs::create_directory_symlink(root / "program", root / "link");
  const std::string program = (root / "program").string() + "/";
  EXPECT_EQ(PuzzleNameFor(program, program + "A.CRS"), "A.CRS");
  EXPECT_EQ(PuzzleNameFor(program, (root / "link/A.CRS").string()), "A.CRS");
  EXPECT_EQ(PuzzleNameFor(program, (root / "elsewhere/../program/A.CRS").string()), "A.CRS");
  EXPECT_EQ(PuzzleNameFor(program, (root / "elsewhere/A.CRS").string()), (root / "elsewhere/A.CRS").string());
  EXPECT_EQ(PuzzleNameFor(program, "/gone/A.CRS"), "/gone/A.CRS");
  fs::remove_all(root);
}

TEST(PuzzlePath, AnInstalledProgramAsksWhereToSaveAPuzzleOfItsOwnFolder) {
  const ProgramFolders portable{"/p/", "/p/", "/p/", true};
  const ProgramFolders installed{"/usr/share/tekucros/", "/h/.config/tekucros/", "/h/.local/state/tekucros/", false};
  EXPECT_FALSE(SaveNeedsChooser(portable, "DEFAULTI.CRS"));
  EXPECT_TRUE(SaveNeedsChooser(installed, "DEFAULTI.CRS"));
  EXPECT_FALSE(SaveNeedsChooser(installed, "/h/A.CRS"));
  EXPECT_EQ(ChooserFolder(portable, "DEFAULTI.CRS", "/h"), "/p/");
  EXPECT_EQ(ChooserFolder(installed, "DEFAULTI.CRS", "/h"), "/h");
  EXPECT_EQ(ChooserFolder(installed, "/h/x/A.CRS", "/h"), "/h/x/");
}

TEST(PuzzlePath, TheCommandLineNamesThePuzzleByItsFirstPlainArgument) {
  EXPECT_EQ(PuzzleArgument({}, "/w"), "");
  EXPECT_EQ(PuzzleArgument({"-x", "A.CRS", "B.CRS"}, "/w"), "/w/A.CRS");
  EXPECT_EQ(PuzzleArgument({"sub/A.CRS"}, "/w/"), "/w/sub/A.CRS");
  EXPECT_EQ(PuzzleArgument({"/abs/A.CRS"}, "/w"), "/abs/A.CRS");
  EXPECT_EQ(PuzzleArgument({"--", "-A.CRS"}, "/w"), "/w/-A.CRS");
  EXPECT_EQ(PuzzleArgument({"A.CRS"}, ""), "./A.CRS") << "never a bare name";
}

TEST(PuzzlePath, ADroppedFileUriGivesThePathsBytes) {
  EXPECT_EQ(LocalPathOfUri("file:///home/u/%83e%83L/A%20B.CRS"), "/home/u/\x83\x65\x83L/A B.CRS");
  EXPECT_EQ(LocalPathOfUri("file://localhost/a.crs"), "/a.crs");
  EXPECT_EQ(LocalPathOfUri("file://other/a.crs"), "");
  EXPECT_EQ(LocalPathOfUri("https://x/a.crs"), "");
  EXPECT_EQ(LocalPathOfUri("file:///a%00b"), "");
  EXPECT_EQ(LocalPathOfUri("file:///100%.CRS"), "/100%.CRS");
  EXPECT_TRUE(HasPuzzleExtension("/a/b.crs"));
  EXPECT_TRUE(HasPuzzleExtension("B.CRS"));
  EXPECT_FALSE(HasPuzzleExtension("/a/crs"));
  EXPECT_FALSE(HasPuzzleExtension("/a/b.bmp"));
}

}  // namespace
}  // namespace teku
