// A program folder of its own for each window test: the generated glyph sheets copied into a
// fresh temporary folder, and a message sink that records instead of showing boxes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/program_environment.h"

namespace teku::testing {

class RecordingMessages : public MessageSink {
 public:
  struct Message {
    std::string text, caption;  // code page 932
  };
  std::vector<Message> messages;
  void Information(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption});
  }
};

class TestProgram {
 public:
  // Copies the named files of the built program folder (by default the three sheets).
  explicit TestProgram(std::vector<std::string> files = {"TEKUMOJI.BMP", "TEKUNUMB.BMP",
                                                          "TEKUCOLR.BMP"});
  ~TestProgram();
  TestProgram(const TestProgram&) = delete;
  TestProgram& operator=(const TestProgram&) = delete;

  const std::filesystem::path& dir() const { return dir_; }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  ProgramEnvironment environment() { return ProgramEnvironment{path("TEKUCROS.EXE"), &messages, std::nullopt}; }

  RecordingMessages messages;

 private:
  std::filesystem::path dir_;
};

}  // namespace teku::testing
