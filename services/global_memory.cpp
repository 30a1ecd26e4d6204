// Movable memory blocks: a heap block with a lock count, so that a missing unlock is visible.
#include "services/global_memory.h"

#include <cstdlib>
#include <new>

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
  auto* data = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
  if (data == nullptr) return nullptr;
  auto* block = new (std::nothrow) GlobalBlock;
  if (block == nullptr) {
    std::free(data);
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
  std::free(block->data);
  delete block;
}

std::size_t GlobalSize(HGlobal block) { return block == nullptr ? 0 : block->size; }
int GlobalLockCount(HGlobal block) { return block == nullptr ? 0 : block->locks; }

}  // namespace teku
