// Large zeroed memory taken straight from the kernel and asked for in 2 MiB pages, so that a
// picture or a coefficient store costs a few page faults rather than one every 4 KiB.
#pragma once

#include <cstddef>

namespace teku {

// Blocks from this size on are mapped on their own; smaller ones come from the heap.
inline constexpr std::size_t kLargeBlockBytes = std::size_t{512} << 10;

// `bytes` zeroed bytes (more than 0), or nullptr when the memory cannot be had. Pages are taken
// only as they are first touched, so a generous reservation costs what is used.
void* AllocateLargeZeroed(std::size_t bytes);
// Gives back a block of AllocateLargeZeroed with the size it was asked for (null is ignored).
void FreeLarge(void* block, std::size_t bytes);

}  // namespace teku
