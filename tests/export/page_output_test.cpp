// The printed pages as files, made by tekutool render: a PDF with the Japanese face embedded and
// every character of the check table and of the clues in its text, an SVG of outlines only, and
// PNG pictures at the resolution asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <vector>

#include "app/puzzle_file.h"
#include "export/page_content.h"
#include "services/cp932.h"

namespace teku {
namespace {

namespace fs = std::filesystem;

class PageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("teku-pages-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs a command line; its standard output in `out`.
  int Shell(const std::string& command, std::string* out = nullptr) {
    const std::string file = (dir_ / "stdout").string();
    const int status = std::system((command + " >" + file + " 2>" + (dir_ / "stderr").string()).c_str());
    if (out != nullptr) *out = Read(file);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Render(const std::string& args) { return Shell(std::string(TEKU_TEKUTOOL) + " render " + args); }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Sample(const char* name) { return std::string(TEKU_PROGRAM_DIR) + "/" + name; }
  std::string Out(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

// The text without blanks and line breaks, the ideographic space included.
std::string WithoutBlanks(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s.compare(i, 3, "\xE3\x80\x80") == 0) {
      i += 2;
    } else if (s[i] != ' ' && s[i] != '\n' && s[i] != '\r' && s[i] != '\f') {
      out += s[i];
    }
  }
  return out;
}

// The "emb" column of every face pdffonts lists.
std::vector<std::string> EmbeddedColumn(const std::string& listing) {
  std::vector<std::string> out;
  const std::size_t header = listing.find("emb");
  const std::size_t lineStart = listing.rfind('\n', header);
  const std::size_t column = header - (lineStart == std::string::npos ? 0 : lineStart + 1);
  std::size_t at = listing.find('\n', listing.find("---"));
  while (at != std::string::npos && at + 1 < listing.size()) {
    const std::size_t end = listing.find('\n', at + 1);
    const std::string line = listing.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    if (line.size() > column + 3) out.push_back(line.substr(column, 3));
    at = end;
  }
  return out;
}

TEST_F(PageFiles, ThePdfOfEachSampleEmbedsItsFaceAndHoldsTheCheckTableAndTheClues) {
  for (const char* name : {"SAMPLE1.CRS", "SAMPLE2.CRS"}) {
    ASSERT_EQ(Render(Sample(name) + " " + Out("p.pdf") + " --paper B5"), 0) << Read(dir_ / "stderr");
    std::string fonts;
    ASSERT_EQ(Shell("pdffonts " + Out("p.pdf"), &fonts), 0) << "pdffonts (poppler-utils) is needed";
    // name  type  encoding  emb sub uni: the face is there, embedded as a subset.
    EXPECT_NE(fonts.find("IPAGothic"), std::string::npos) << fonts;
    const std::vector<std::string> embedded = EmbeddedColumn(fonts);
    EXPECT_FALSE(embedded.empty()) << fonts;
    for (const std::string& e : embedded) EXPECT_EQ(e, "yes") << "every face embedded:\n" << fonts;
    std::string text;
    ASSERT_EQ(Shell("pdftotext -enc UTF-8 " + Out("p.pdf") + " -", &text), 0);
    text = WithoutBlanks(text);

    Puzzle p;
    ModeState modes;
    const ZIREDIZU ini(std::string(TEKU_PROGRAM_DIR) + "/", "TEKUCROSE");
    PuzzleFileContext c{ini, p, modes, {}};
    ASSERT_EQ(LoadPuzzleFile(c, name), PuzzleFileStatus::kPuzzle);
    const PageContent page = ComposePage(p, modes.kind, false);
    // The title's words (pdftotext may read grid numbers between them).
    const std::string title = Cp932ToUtf8(p.Title);
    for (std::size_t from = 0; from < title.size();) {
      const std::size_t space = std::min(title.find("\xE3\x80\x80", from), title.size());
      EXPECT_NE(text.find(title.substr(from, space - from)), std::string::npos) << name << " " << title;
      from = space + 3;
    }
    for (const PageBox& b : page.checkTable) {
      EXPECT_NE(text.find(Cp932ToUtf8(b.text)), std::string::npos) << name << " " << Cp932ToUtf8(b.text);
    }
    for (const auto* clues : {&page.down, &page.across}) {
      for (const PageClue& k : *clues) {
        for (const std::string& ch : Cp932Characters(k.text)) {
          if (ch == " ") continue;
          EXPECT_NE(text.find(Cp932ToUtf8(ch)), std::string::npos) << name << " " << Cp932ToUtf8(k.text);
        }
      }
    }
    EXPECT_EQ(page.nankuro, !page.checkTable.empty());
    EXPECT_EQ(page.nankuro, page.down.empty());
  }
}

TEST_F(PageFiles, TheSvgDrawsCharactersAsOutlinesAndPngsComeOneAPage) {
  ASSERT_EQ(Render(Sample("SAMPLE2.CRS") + " " + Out("p.svg") + " --solution --large"), 0) << Read(dir_ / "stderr");
  const std::string svg = Read(dir_ / "p.svg");
  EXPECT_NE(svg.find("<path"), std::string::npos);
  EXPECT_EQ(svg.find("<text"), std::string::npos);

  ASSERT_EQ(Render(Sample("SAMPLE1.CRS") + " " + Out("p.png") + " --solution --dpi 100 --landscape"), 0);
  for (const char* page : {"p-1.png", "p-2.png"}) {
    const std::string png = Read(dir_ / page);
    ASSERT_GT(png.size(), 24u) << page;
    const auto be32 = [&](std::size_t at) {
      return static_cast<unsigned>(static_cast<unsigned char>(png[at])) << 24 |
             static_cast<unsigned>(static_cast<unsigned char>(png[at + 1])) << 16 |
             static_cast<unsigned>(static_cast<unsigned char>(png[at + 2])) << 8 |
             static_cast<unsigned>(static_cast<unsigned char>(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 1170u) << "297 mm at 100 dpi";
    EXPECT_EQ(be32(20), 827u);
  }
  EXPECT_FALSE(fs::exists(dir_ / "p.png"));

  EXPECT_EQ(Render(Sample("SAMPLE1.CRS") + " " + Out("x.pdf") + " --paper A3"), 2);
  EXPECT_EQ(Render(Sample("SAMPLE1.CRS") + " " + Out("x.pdf") + " --mode answer"), 2) << "BMP options are BMP's";
  EXPECT_NE(Render(Sample("SAMPLE1.CRS") + " " + Out("none/x.pdf")), 0);
  EXPECT_FALSE(fs::exists(dir_ / "x.pdf"));
}

}  // namespace
}  // namespace teku
