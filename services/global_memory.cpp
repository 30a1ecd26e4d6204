// Movable memory blocks: a heap block with a lock count, so that a missing unlock is visible.
#include "services/global_memory.h"

#include <new>

#include "services/large_memory.h"

namespace teku {

struct GlobalBlock {
  std::size_t size = 0;
  int locks = 0;
  std::uint8_t* data = nullptr;
};

namespace {
int g_failAllocs = 0;
int g_failLocks = 0;
}  // namespace

void FailNextGlobalAllocs(int count) { g_failAllocs = count; }
void FailNextGlobalLocks(int count) { g_failLocks = count; }

HGlobal GlobalAllocZeroed(std::size_t bytes) {
  if (bytes == 0 || bytes > kMaxGlobalBytes) return nullptr;
  if (g_failAllocs > 0) {
    --g_failAllocs;
    return nullptr;
  }
  auto* data = static_cast<std::uint8_t*>(AllocateLargeZeroed(bytes));
  if (data == nullptr) return nullptr;
  auto* block = new (std::nothrow) GlobalBlock;
  if (block == nullptr) {
    FreeLarge(data, bytes);
    return nullptr;
  }
  block->size = bytes;
  block->data = data;
  return block;
}

void* GlobalLock(HGlobal block) {
  if (block == nullptr) return nullptr;
  if (g_failLocks > 0) {
    --g_failLocks;
    return nullptr;
  }
  ++block->locks;
  return block->data;
}

bool GlobalUnlock(HGlobal block) {
  if (block == nullptr || block->locks <= 0) return false;
  --block->locks;
  return true;
}

void GlobalFree(HGlobal block) {
  if (block == nullptr) return;
  FreeLarge(block->data, block->size);
  delete block;
}

std::size_t GlobalSize(HGlobal block) { return block == nullptr ? 0 : block->size; }
int GlobalLockCount(HGlobal block) { return block == nullptr ? 0 : block->locks; }

}  // namespace teku
