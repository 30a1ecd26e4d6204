// Movable memory blocks with explicit lock and unlock: the grid and every picture keep their
// bytes in one of these, locked for the span of each access and unlocked before it returns.
#pragma once

#include <cstddef>
#include <cstdint>

namespace teku {

struct GlobalBlock;
using HGlobal = GlobalBlock*;

// Largest block we hand out. Pictures are capped well below it; this guards every caller
// against a size computed from hostile input.
inline constexpr std::size_t kMaxGlobalBytes = std::size_t{256} << 20;

// A zero-initialised block of `bytes` bytes, or nullptr when the size is 0, above the cap or
// the memory cannot be had.
HGlobal GlobalAllocZeroed(std::size_t bytes);
// The block's address, or nullptr for a null handle. Every lock must be paired with an unlock.
void* GlobalLock(HGlobal block);
// False when the block was not locked.
bool GlobalUnlock(HGlobal block);
void GlobalFree(HGlobal block);
std::size_t GlobalSize(HGlobal block);
int GlobalLockCount(HGlobal block);

// Test hook: the next `count` allocations (or locks) fail as if memory were exhausted.
void FailNextGlobalAllocs(int count);
void FailNextGlobalLocks(int count);

// Holds a lock for one scope.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGlobal block) : block_(block), ptr_(GlobalLock(block)) {}
  ~GlobalLockGuard() {
    if (ptr_ != nullptr) GlobalUnlock(block_);
  }
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;

  std::uint8_t* bytes() const { return static_cast<std::uint8_t*>(ptr_); }
  explicit operator bool() const { return ptr_ != nullptr; }

 private:
  HGlobal block_;
  void* ptr_;
};

}  // namespace teku
