// The services component's identity and key access.
#include "services/ziredizu.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace teku {
namespace {

TEST(ZiredizuIdentity, TheSectionKeepsTheLastCharacterOfTheName) {
  EXPECT_EQ(ZIREDIZU::SectionNameFor("TEKUCROS.EXE"), "TEKUCROSE");
  EXPECT_EQ(ZIREDIZU::SectionNameFor("MY.APP.EXE"), "MYE");
  EXPECT_EQ(ZIREDIZU::SectionNameFor("tekucros"), "tekucros");
  EXPECT_EQ(ZIREDIZU::SectionNameFor("X.EXE"), "XE");
  EXPECT_EQ(ZIREDIZU::SectionNameFor("A."), "A.");
  const ZIREDIZU z("/opt/teku/TEKUCROS.EXE");
  EXPECT_EQ(z.ExeDir, "/opt/teku/");
  EXPECT_EQ(z.SectionName, "TEKUCROSE");
  EXPECT_EQ(z.IniFileName, "/opt/teku/TEKUINI.INI");
  EXPECT_FALSE(ZIREDIZU::RunningExecutable().empty());
}

TEST(ZiredizuKeys, SettingsAndPuzzleFilesLieInTheProgramFolder) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "teku-ziredizu";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const ZIREDIZU z((dir / "TEKUCROS.EXE").string());
  EXPECT_EQ(z.ReadIni("Left"), "");
  z.WriteIni("Left", "250");
  EXPECT_EQ(z.ReadIni("left"), "250");
  EXPECT_TRUE(fs::exists(dir / "TEKUINI.INI"));
  z.WriteIni("Long", std::string(1500, 'v'));
  EXPECT_EQ(z.ReadIni("Long"), std::string(1023, 'v'));
  z.WriteFileIni("A.CRS", "WIDTH", "10");
  EXPECT_EQ(z.ReadFileIni("A.CRS", "WIDTH"), "10");
  EXPECT_EQ(z.ReadIniOr("INITBMP", "dflt"), "dflt");
  const ZIREDIZU other((dir / "X.EXE").string());
  EXPECT_EQ(other.ReadFileIni("A.CRS", "WIDTH"), "") << "another section reads as empty";
  fs::remove_all(dir);
}

}  // namespace
}  // namespace teku
