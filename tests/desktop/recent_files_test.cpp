// The recent-files list and its keys in the settings file.
#include "desktop/recent_files.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "services/profile_file.h"

namespace teku {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstOnceEachAndNoMoreThanEight) {
  RecentFiles r;
  for (int i = 1; i <= 10; ++i) r.Add("/p/" + std::to_string(i) + ".CRS");
  ASSERT_EQ(r.paths().size(), 8u);
  EXPECT_EQ(r.paths().front(), "/p/10.CRS");
  EXPECT_EQ(r.paths().back(), "/p/3.CRS");
  r.Add("/p/5.CRS");
  EXPECT_EQ(r.paths()[0], "/p/5.CRS");
  EXPECT_EQ(r.paths()[1], "/p/10.CRS");
  EXPECT_EQ(r.paths().size(), 8u);
  r.Remove("/p/10.CRS");
  EXPECT_EQ(r.paths()[1], "/p/9.CRS");
}

TEST(RecentFiles, OnlyPathsTheSettingsFileGivesBackUnchangedAreListed) {
  RecentFiles r;
  r.Add("relative.CRS");
  r.Add("/a/line\nbreak.CRS");
  r.Add("/" + std::string(1100, 'a') + ".CRS");
  EXPECT_TRUE(r.paths().empty());
  r.Add("/a/ blank at the end ");
  EXPECT_EQ(r.paths().size(), 1u);
}

TEST(RecentFiles, TheKeysReadBackInOrderAndLeftOverSlotsAreRemoved) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "teku-recent";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string ini = (dir / "TEKUINI.INI").string();
  const auto write = [&](const std::string& k, const std::string& v) { WriteProfileString(ini, "TEKUCROSE", k, v); };
  const auto remove = [&](const std::string& k) { DeleteProfileKey(ini, "TEKUCROSE", k); };
  const auto read = [&](const std::string& k) { return ReadProfileString(ini, "TEKUCROSE", k, ""); };
  RecentFiles r;
  for (const char* p : {"/c.CRS", "/b.CRS", "/a \"q\".CRS"}) r.Add(p);
  r.Write(write, remove);
  RecentFiles back;
  back.Read(read);
  EXPECT_EQ(back.paths(), (Paths{"/a \"q\".CRS", "/b.CRS", "/c.CRS"}));
  back.Remove("/b.CRS");
  back.Write(write, remove);
  EXPECT_EQ(read("RECENTFILE3"), "");
  write("RECENTFILE5", "/a \"q\".CRS");  // a repeat, as a hand edit could leave it
  RecentFiles again;
  again.Read(read);
  EXPECT_EQ(again.paths(), (Paths{"/a \"q\".CRS", "/c.CRS"}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace teku
