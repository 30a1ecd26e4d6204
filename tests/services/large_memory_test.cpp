// Large blocks: zeroed and usable to their last byte whichever way they are mapped, and given
// back with the size they were asked for.
#include "services/large_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace teku {
namespace {

TEST(LargeMemory, EveryByteIsZeroAndWritableOnBothSidesOfEachThreshold) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  // Heap blocks, a block in small pages, in whole 2 MiB pages, and ones whose last 2 MiB
  // page is taken whole or left to small pages.
  for (const std::size_t bytes : {std::size_t{1}, kLargeBlockBytes - 1, kLargeBlockBytes,
                                  kLargeBlockBytes + 4097, 2 * kMiB, 2 * kMiB + 1,
                                  2 * kMiB + kMiB / 4 - 1, 2 * kMiB + kMiB / 2, 6 * kMiB - 3}) {
    auto* block = static_cast<std::uint8_t*>(AllocateLargeZeroed(bytes));
    ASSERT_NE(block, nullptr) << bytes;
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < bytes; ++i) nonZero += block[i] != 0;
    EXPECT_EQ(nonZero, 0u) << bytes;
    std::memset(block, 0xA5, bytes);
    EXPECT_EQ(block[bytes - 1], 0xA5) << bytes;
    FreeLarge(block, bytes);
  }
}

TEST(LargeMemory, NothingIsGivenForNothingOrForMoreThanTheAddressSpace) {
  EXPECT_EQ(AllocateLargeZeroed(0), nullptr);
  EXPECT_EQ(AllocateLargeZeroed(SIZE_MAX - 100), nullptr);
  FreeLarge(nullptr, 12345);
}

}  // namespace
}  // namespace teku
