#include "platform/core/Guid.h"

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

TEST(CoCreateGuid, SetsTheVersionAndVariantBits) {
    for (int i = 0; i < 200; ++i) {
        GUID guid;
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        EXPECT_EQ(guid.Data3 & 0xF000u, 0x4000u);
        EXPECT_EQ(guid.Data4[0] & 0xC0u, 0x80u);
    }
}

TEST(CoCreateGuid, MakesDifferentIdsWithRandomBitsEverywhere) {
    std::set<std::vector<uint8_t>> seen;
    uint32_t data1Bits = 0;
    uint16_t data2Bits = 0;
    uint16_t data3Bits = 0;
    uint8_t lastByteBits = 0;
    for (int i = 0; i < 1000; ++i) {
        GUID guid;
        ASSERT_EQ(CoCreateGuid(&guid), S_OK);
        std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(&guid),
                                   reinterpret_cast<const uint8_t*>(&guid) + sizeof guid);
        EXPECT_TRUE(seen.insert(bytes).second);
        data1Bits |= guid.Data1;
        data2Bits |= guid.Data2;
        data3Bits |= guid.Data3;
        lastByteBits |= guid.Data4[7];
    }
    EXPECT_EQ(data1Bits, 0xFFFFFFFFu);
    EXPECT_EQ(data2Bits, 0xFFFFu);
    EXPECT_EQ(data3Bits, 0x4FFFu);
    EXPECT_EQ(lastByteBits, 0xFFu);
}

// Each thread has a source of its own, seeded on its own: threads started together never repeat
// each other's ids.
TEST(CoCreateGuid, ThreadsMakeDifferentIds) {
    std::mutex lock;
    std::set<std::vector<uint8_t>> seen;
    int duplicates = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            std::vector<std::vector<uint8_t>> made;
            for (int i = 0; i < 500; ++i) {
                GUID guid;
                if (CoCreateGuid(&guid) == S_OK)
                    made.emplace_back(reinterpret_cast<const uint8_t*>(&guid),
                                      reinterpret_cast<const uint8_t*>(&guid) + sizeof guid);
            }
            std::lock_guard<std::mutex> guard(lock);
            for (const auto& bytes : made)
                duplicates += seen.insert(bytes).second ? 0 : 1;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(duplicates, 0);
    EXPECT_EQ(seen.size(), 4000u);
}

TEST(CoCreateGuid, RefusesANullPointer) {
    EXPECT_EQ(CoCreateGuid(nullptr), E_POINTER);
}

TEST(Guid, ComparesEveryField) {
    GUID a;
    GUID b;
    EXPECT_TRUE(a == b);
    b.Data4[7] = 1;
    EXPECT_FALSE(a == b);
}
