#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "model/ItemArena.h"

// Blocks cut on one thread and freed on another, some early: a slab handed
// back while a block in it lives would be cut again or returned to the system,
// and the blocks still held would lose their bytes.
TEST(ItemArena, BlocksKeepTheirBytesWhileNeighboursAreFreedOnOtherThreads) {
    constexpr size_t kBlocks = 20000;  // several slabs
    std::vector<unsigned char*> blocks(kBlocks);
    std::thread([&] {
        for (size_t i = 0; i < kBlocks; ++i) {
            const size_t bytes = 24 + i % 600;
            blocks[i] = static_cast<unsigned char*>(CItemArena::Allocate(bytes));
            EXPECT_EQ(reinterpret_cast<uintptr_t>(blocks[i]) % CItemArena::kAlign, 0u);
            std::memset(blocks[i], static_cast<int>(i % 251), bytes);
        }
    }).join();
    std::thread([&] {
        for (size_t i = 0; i < kBlocks; ++i) {
            if (i % 3 != 0) CItemArena::Free(blocks[i]);
        }
    }).join();
    // New blocks, which must come from fresh slabs or the system.
    std::vector<void*> more;
    for (size_t i = 0; i < kBlocks; ++i) {
        more.push_back(CItemArena::Allocate(600));
        std::memset(more.back(), 0xEE, 600);
    }
    for (size_t i = 0; i < kBlocks; i += 3) {
        const size_t bytes = 24 + i % 600;
        for (size_t b = 0; b < bytes; ++b)
            ASSERT_EQ(blocks[i][b], i % 251) << i;
        CItemArena::Free(blocks[i]);
    }
    for (void* block : more)
        CItemArena::Free(block);
}
