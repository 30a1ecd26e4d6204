// Large blocks: mapped with 2 MiB alignment and marked for transparent huge pages. On a system
// without them, or where the kernel has none free, the mapping works with small pages as any.
#include "services/large_memory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define TEKU_HEAP_ONLY 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEKU_HEAP_ONLY 1
#endif
#endif

namespace teku {

#ifndef TEKU_HEAP_ONLY
namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// The length mapped for a block: whole 2 MiB pages when at least a quarter of the last one
// is used (a part page is taken in small pages, one fault each), else whole small pages. A
// block so costs at most 1.5 MiB more than it asked for.
std::size_t MappedLength(std::size_t bytes) {
  const std::size_t rest = bytes % kHugePage;
  if (rest == 0) return bytes;
  if (rest >= kHugePage / 4) return bytes - rest + kHugePage;
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}
}  // namespace
#endif

void* AllocateLargeZeroed(std::size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX / 2) return nullptr;
#ifdef TEKU_HEAP_ONLY
  // Under the address sanitizer every block stays on its heap, where a read or write past the
  // end is caught; a mapping would let it pass unseen up to the next page.
  return std::calloc(bytes, 1);
#else
  if (bytes < kLargeBlockBytes) return std::calloc(bytes, 1);
  const std::size_t length = MappedLength(bytes);
  // Mapped with room to slide to a 2 MiB boundary; what lies outside the aligned block is
  // unmapped again at once.
  const std::size_t span = length + kHugePage;
  void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const std::uintptr_t end = start + span;
  if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  void* block = reinterpret_cast<void*>(aligned);
#ifdef MADV_HUGEPAGE
  ::madvise(block, length, MADV_HUGEPAGE);
#endif
  return block;
#endif
}

void FreeLarge(void* block, std::size_t bytes) {
  if (block == nullptr) return;
#ifndef TEKU_HEAP_ONLY
  if (bytes < kLargeBlockBytes) {
    std::free(block);
    return;
  }
  ::munmap(block, MappedLength(bytes));
#else
  (void)bytes;
  std::free(block);
#endif
}

}  // namespace teku
