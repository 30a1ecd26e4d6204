// tekutool play: the program's windows driven by a script, the state printed as JSON.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace teku {
namespace {

namespace fs = std::filesystem;

class TekutoolPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system((std::string(TEKU_TEKUTOOL) + " --help | grep -q ' play '").c_str()) != 0) {
      GTEST_SKIP() << "this build has no windows";
    }
    dir_ = fs::temp_directory_path() /
           ("teku-play-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* f : {"TEKUMOJI.BMP", "TEKUNUMB.BMP", "TEKUCOLR.BMP", "SAMPLE1.CRS", "SAMPLE2.CRS"}) {
      fs::copy_file(fs::path(TEKU_PROGRAM_DIR) / f, dir_ / f);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }
  int Play(const std::string& puzzle, const std::string& script, std::string& out) {
    std::ofstream(dir_ / "script.txt") << script;
    // A play that waits for an answer nobody gives fails here instead of hanging the suite.
    const std::string cmd = "timeout 60 " + std::string(TEKU_TEKUTOOL) + " play " + puzzle + " " + (dir_ / "script.txt").string() +
                            " >" + (dir_ / "out.json").string() + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    std::ifstream in(dir_ / "out.json");
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path dir_;
};

TEST_F(TekutoolPlay, APlayerEntersACharacterAndChecks) {
  std::string out;
  ASSERT_EQ(Play("SAMPLE1.CRS",
                 "# ケ is entry 9: column 1, row 1 of the panel\n"
                 "show-panel\npanel 40 40 left\nclick 5 5 left\nmenu MN_FILEFINE\n",
                 out),
            0);
  EXPECT_NE(out.find("\"selected_moji\":9"), std::string::npos) << out.substr(0, 200);
  EXPECT_NE(out.find("\"cursor\":[0,0]"), std::string::npos);
  EXPECT_NE(out.find("\"modified\":1"), std::string::npos);
  EXPECT_NE(out.find("\"caption\":\"残念どこか違ってます。\""), std::string::npos);
  EXPECT_NE(out.find("\"marks\":[\"MN_MODEGAME\",\"MN_MODENANKURO\",\"MN_MODEONGAKU\",\"MN_VIEWWRD\"]"),
            std::string::npos);
}

TEST_F(TekutoolPlay, AnAuthorMakesAPuzzleAndSavesIt) {
  std::string out;
  ASSERT_EQ(Play("none",
                 "password \"\"\nmenu MN_MODECREATE\nmenu MN_FILENEWOPEN\n"
                 "initdialog 3 2 My_title \"\"\nmenu MN_VIEWMONDAI\n"
                 "show-panel\npanel 40 5 left\nclick 5 5 left\n"
                 "menu MN_FILESAVEAS MINE.CRS\nmenu MN_FILEEND\nclick 40 5 left\n",
                 out),
            0);
  EXPECT_NE(out.find("\"width\":3,\"height\":2,\"title\":\"My title\""), std::string::npos) << out.substr(0, 120);
  EXPECT_NE(out.find("\"cells\":[[1,255,255],[255,255,255]]"), std::string::npos) << "events after the end are ignored";
  EXPECT_TRUE(fs::exists(dir_ / "MINE.CRS"));
}

TEST_F(TekutoolPlay, RefusedTextIsAnsweredAndThePlayGoesOn) {
  std::string out;
  ASSERT_EQ(Play("none",
                 "password \"\"\nmenu MN_MODECREATE\nshow-panel\npanel 40 5 right\n"
                 "chardialog 한 ok\nchardialog ア ok\ninitdialog = = 한 =\n",
                 out),
            0);
  EXPECT_NE(out.find("\"title\":\"\""), std::string::npos) << out.substr(0, 200);
  EXPECT_NE(out.find("ア"), std::string::npos) << "the mended text was stored";
}

TEST_F(TekutoolPlay, ASignalEndsItWhileItWaitsForTheScript) {
  const fs::path script = dir_ / "script.txt";
  ASSERT_EQ(mkfifo(script.c_str(), 0600), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(open("/dev/null", O_WRONLY), 1);
    execl(TEKU_TEKUTOOL, "tekutool", "play", "none", script.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const int writer = open(script.c_str(), O_WRONLY);
  ASSERT_EQ(write(writer, "show-panel\n", 11), 11);
  // The log is started once the windows and the mixer are up.
  for (int i = 0; i < 100 && !fs::exists(dir_ / "TEKUTRC.LOG"); ++i) usleep(100000);
  kill(pid, SIGTERM);
  pid_t done = 0;
  for (int i = 0; i < 20 && done == 0; ++i, usleep(100000)) done = waitpid(pid, nullptr, WNOHANG);
  if (done == 0) kill(pid, SIGKILL);
  EXPECT_EQ(done, pid) << "play still ran two seconds after SIGTERM";
  waitpid(pid, nullptr, 0);
  close(writer);
}

TEST_F(TekutoolPlay, APlayerTypesUndoesAndZoomsWithoutTheMouse) {
  std::string out;
  ASSERT_EQ(Play("SAMPLE1.CRS", "key down\ntype フク\nkey right 0\nmenu MN_EDITUNDO\nmenu MN_VIEWZOOMIN\n", out), 0);
  EXPECT_NE(out.find("\"cursor\":[1,0]"), std::string::npos) << "undo goes back to the cell of ク";
  EXPECT_NE(out.find("\"message\":\"表示 150%\""), std::string::npos) << out.substr(out.find("\"cursor\""));
  EXPECT_EQ(Play("none", "key sideways\n", out), 2);
}

TEST_F(TekutoolPlay, ABadLineIsAUsageError) {
  std::string out;
  EXPECT_EQ(Play("none", "fly away\n", out), 2);
}

}  // namespace
}  // namespace teku
