// Byte access to a picture by offset, as every reader needs it: a file that is opened, read and
// closed again within each call, or bytes already in memory (tests, fuzzing, the palette step).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace teku {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // Copies up to `count` bytes from `offset` into `buffer`; the number copied, which is short at
  // the end of the data, or negative when the data cannot be opened.
  virtual std::int64_t ReadAt(void* buffer, std::int64_t offset, std::int64_t count) const = 0;
  // Size in bytes; negative when the data cannot be opened.
  virtual std::int64_t Size() const = 0;
};

// A file named by its path. No call keeps it open.
class PictureFile final : public PictureSource {
 public:
  explicit PictureFile(std::string fileName) : fileName_(std::move(fileName)) {}
  std::int64_t ReadAt(void* buffer, std::int64_t offset, std::int64_t count) const override;
  std::int64_t Size() const override;

 private:
  std::string fileName_;
};

// Bytes held by the caller, which must outlive the source.
class PictureBytes final : public PictureSource {
 public:
  explicit PictureBytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::int64_t ReadAt(void* buffer, std::int64_t offset, std::int64_t count) const override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }

 private:
  std::span<const std::uint8_t> bytes_;
};

// The file helpers of the readers, on a file name.
std::int64_t ReadFileAt(const std::string& fileName, void* buffer, std::int64_t offset,
                        std::int64_t count);
std::int64_t FileSizeOf(const std::string& fileName);

}  // namespace teku
