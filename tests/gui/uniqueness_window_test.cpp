// 一意性チェック and ヒントを提案 in the main window: the sample is found to have another solution,
// the suggestion makes it unique as one undoable step, and a cancel stops the search.
#include <QAction>
#include <gtest/gtest.h>

#include "app/edit_menu.h"
#include "app/main_window.h"
#include "app/program_windows.h"
#include "app/uniqueness_menu.h"
#include "services/cp932.h"
#include "support/test_program.h"

namespace teku {
namespace {

class UniquenessWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    windows.Create();
    f = windows.Form1.get();
    f->show();
    ASSERT_TRUE(f->OpenPuzzleAt(program.path("SAMPLE1.CRS")));
  }
  void Menu(const char* name) { f->item(name)->trigger(); }
  std::string LastMessage() {
    return program.messages.messages.empty() ? std::string() : Cp932ToUtf8(program.messages.messages.back().text);
  }
  int Givens() {
    int n = 0;
    for (const std::int32_t s : f->puzzle.Syoki) n += f->puzzle.SyokiNamesCell(s) ? 1 : 0;
    return n;
  }

  testing::TestProgram program{{"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS", "TEKUWORD.DIC"}};
  ProgramWindows windows{program.environment()};
  TForm1* f = nullptr;
};

TEST_F(UniquenessWindow, CheckSuggestUndoAndCheckAgain) {
  Menu("MN_TOOLUNIQUE");
  EXPECT_NE(LastMessage().find("使えます"), std::string::npos) << "game mode has no answers to prove";

  Menu("MN_MODECREATE");
  Menu("MN_TOOLUNIQUE");
  EXPECT_NE(LastMessage().find("二つ以上"), std::string::npos) << LastMessage();
  EXPECT_NE(LastMessage().find("単語リスト"), std::string::npos);
  EXPECT_TRUE(f->uniqueness->Marked().empty()) << "the marks go with the message";

  const int before = Givens();
  Menu("MN_TOOLSUGGEST");
  EXPECT_NE(LastMessage().find("解は一つだけです"), std::string::npos) << LastMessage();
  EXPECT_GT(Givens(), before);
  Menu("MN_TOOLUNIQUE");
  EXPECT_NE(LastMessage().find("解は一つだけです"), std::string::npos) << LastMessage();

  Menu("MN_EDITUNDO");
  EXPECT_EQ(Givens(), before) << "the suggestion is one step";
}

TEST_F(UniquenessWindow, ACancelledCheckSaysSo) {
  Menu("MN_MODECREATE");
  f->uniqueness->whileRunning = [](std::atomic<bool>& cancel) { cancel = true; };
  Menu("MN_TOOLUNIQUE");
  EXPECT_NE(LastMessage().find("中止"), std::string::npos) << LastMessage();
}

}  // namespace
}  // namespace teku
