// Writes TEKUWORD.DIC, the solver's word list, from the katakana readings of a dictionary's noun
// files (CSV in EUC-JP, the reading in the second field from the end), and copies the
// dictionary's licence notice beside it as TEKUWORD-COPYING.txt.
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "workbench/word_list.h"

namespace {

// General, verbal, adjectival, place and proper nouns: the words a number-crossword is made of.
// Person names, organisations, numbers and the like stay out.
const char* const kNounFiles[] = {"Noun.csv", "Noun.verbal.csv", "Noun.adjv.csv", "Noun.place.csv",
                                  "Noun.proper.csv"};

int Fail(const std::string& what) {
  std::fprintf(stderr, "make_word_list: %s\n", what.c_str());
  return 1;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return static_cast<bool>(in) || in.eof();
}

// One line from EUC-JP to UTF-8; false for a line iconv cannot convert.
bool EucToUtf8(iconv_t cd, const std::string& line, std::string& out) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string in = line;
  out.assign(in.size() * 2 + 8, '\0');
  char* src = in.data();
  std::size_t srcLeft = in.size();
  char* dst = out.data();
  std::size_t dstLeft = out.size();
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
  out.resize(out.size() - dstLeft);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_word_list DICTIONARY_DIR NOTICE_FILE PROGRAM_DIR\n");
    return 2;
  }
  const std::string dicDir = std::string(argv[1]) + "/";
  const std::string notice = argv[2];
  const std::string outDir = std::string(argv[3]) + "/";
  const std::string install = "install it with `bash scripts/install-deps.sh` (Debian package mecab-ipadic)";

  iconv_t cd = iconv_open("UTF-8", "EUC-JP");
  if (cd == reinterpret_cast<iconv_t>(-1)) return Fail("iconv cannot convert from EUC-JP");
  std::vector<teku::CodedWord> words;
  std::size_t lines = 0;
  for (const char* name : kNounFiles) {
    std::string text;
    if (!ReadFile(dicDir + name, text)) {
      iconv_close(cd);
      return Fail("the dictionary file " + dicDir + name + " is missing: " + install);
    }
    std::istringstream in(text);
    std::string line, utf8;
    while (std::getline(in, line)) {
      ++lines;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!EucToUtf8(cd, line, utf8)) continue;
      // Counted from the end: a quoted surface form may hold commas of its own.
      const std::size_t last = utf8.rfind(',');
      if (last == std::string::npos || last == 0) continue;
      const std::size_t before = utf8.rfind(',', last - 1);
      if (before == std::string::npos) continue;
      const std::optional<teku::CodedWord> w = teku::CodeWord(utf8.substr(before + 1, last - before - 1));
      if (w) words.push_back(*w);
    }
  }
  iconv_close(cd);
  const std::string list = teku::CompactWordList(std::move(words));
  if (list.size() < 1000) return Fail("the dictionary in " + dicDir + " gave no words");

  std::string noticeText;
  if (!ReadFile(notice, noticeText)) return Fail("the dictionary's licence notice " + notice + " is missing: " + install);
  const auto write = [](const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
  };
  const std::string header =
      "TEKUWORD.DIC, the word list of the uniqueness check, is made from the katakana readings of\n"
      "the nouns of IPADIC (Debian package mecab-ipadic). Its licence:\n\n";
  if (!write(outDir + "TEKUWORD.DIC", list) || !write(outDir + "TEKUWORD-COPYING.txt", header + noticeText)) {
    return Fail("cannot write into " + outDir);
  }
  std::printf("make_word_list: %zu lines read, %zu bytes written\n", lines, list.size());
  return 0;
}
