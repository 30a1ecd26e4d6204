#include "test_program.h"

#include <atomic>
#include <unistd.h>

namespace teku::testing {

TestProgram::TestProgram(std::vector<std::string> files) {
  static std::atomic<int> counter{0};
  dir_ = std::filesystem::temp_directory_path() /
         ("teku-program-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  for (const std::string& f : files) {
    std::filesystem::copy_file(std::filesystem::path(TEKU_PROGRAM_DIR) / f, dir_ / f);
  }
}

TestProgram::~TestProgram() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

}  // namespace teku::testing
