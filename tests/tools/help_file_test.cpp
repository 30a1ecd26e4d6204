// The help file as the generator wrote it: an HTML page in UTF-8 that names every menu command
// it explains with the caption the menu shows.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "app/main_menu.h"
#include "tests/tools/program_files.h"

namespace teku {
namespace {

std::string HelpText() {
  const std::vector<std::uint8_t> raw = testing::ReadProgramFile("TEKUCROS.HLP");
  return std::string(raw.begin(), raw.end());
}

bool IsUtf8(const std::string& text) {
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = text;
  std::string out(in.size() * 4 + 16, '\0');
  char* s = in.data();
  char* d = out.data();
  std::size_t sl = in.size(), dl = out.size();
  const std::size_t r = iconv(cd, &s, &sl, &d, &dl);
  iconv_close(cd);
  return r != static_cast<std::size_t>(-1) && sl == 0;
}

// The page shows a caption as the menu does, without the access-key "&".
std::string Shown(std::string caption) {
  const std::size_t amp = caption.find('&');
  if (amp != std::string::npos) caption.erase(amp, 1);
  return caption;
}

TEST(HelpFile, IsAnHtmlPageInUtf8) {
  const std::string text = HelpText();
  ASSERT_FALSE(text.empty());
  EXPECT_TRUE(IsUtf8(text));
  EXPECT_EQ(text.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(text.find("<meta charset=\"UTF-8\">"), std::string::npos);
  EXPECT_NE(text.find("<html lang=\"ja\">"), std::string::npos);
  EXPECT_NE(text.find("</html>"), std::string::npos);
  // No stray markup character: every '&' in the page would start an entity.
  EXPECT_EQ(text.find('&'), std::string::npos);
}

TEST(HelpFile, NamesEveryMenuCommandAsTheMenuShowsIt) {
  const std::string text = HelpText();
  int named = 0;
  for (const MenuSpec& menu : kMainMenu) {
    EXPECT_NE(text.find(Shown(menu.caption)), std::string::npos) << menu.caption;
    for (int i = 0; i < menu.count; ++i) {
      if (menu.items[i].separator) continue;
      EXPECT_NE(text.find(Shown(menu.items[i].caption)), std::string::npos) << menu.items[i].caption;
      ++named;
    }
  }
  EXPECT_EQ(named, 20);
}

TEST(HelpFile, ExplainsPlayingAndMakingAPuzzle) {
  const std::string text = HelpText();
  for (const char* topic : {"遊び方", "問題の作り方", "文字選択欄", "解答欄", "ヒントダイアログ", "初期設定ダイアログ",
                            "答え合わせ", "おめでとう！正解です。", "保存", "たて", "よこ", "SAMPLE1.CRS", "SAMPLE2.CRS"}) {
    EXPECT_NE(text.find(topic), std::string::npos) << topic;
  }
  // Choosing game mode again while playing keeps the input, and the page says so.
  EXPECT_NE(text.find("入力はそのまま残ります"), std::string::npos);
  EXPECT_EQ(text.find("もう一度選んだときも入力は消えます"), std::string::npos);
}

}  // namespace
}  // namespace teku
