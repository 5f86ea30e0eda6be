#include "persistence/LargeBuffer.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(LargeBufferTest, ARoomGivenBackIsHandedOutAgainForTheSameOrASmallerSize) {
    constexpr std::size_t size = std::size_t(24) << 20;
    char* room = static_cast<char*>(AcquireLargeRoom(size));
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(room) % alignof(std::max_align_t), 0u);
    std::memset(room, 1, size); // all of it is there
    EXPECT_TRUE(ReleaseLargeRoom(room));
    EXPECT_FALSE(ReleaseLargeRoom(room)); // given back already
    char* again = static_cast<char*>(AcquireLargeRoom(size - 12345));
    EXPECT_EQ(again, room);
    // A larger one while it is in use is another room.
    char* other = static_cast<char*>(AcquireLargeRoom(size));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, again);
    EXPECT_TRUE(ReleaseLargeRoom(other));
    EXPECT_TRUE(ReleaseLargeRoom(again));
}

namespace {

// Resident memory of this process, in bytes.
long long ResidentBytes() {
    long long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace

TEST(LargeBufferTest, KeptRoomsStayResidentUntilFreedOnRequest) {
    constexpr std::size_t size = std::size_t(48) << 20;
    char* room = static_cast<char*>(AcquireLargeRoom(size));
    ASSERT_NE(room, nullptr);
    std::memset(room, 5, size);
    EXPECT_TRUE(ReleaseLargeRoom(room));
    const long long kept = ResidentBytes();
    FreeKeptLargeRooms();
    EXPECT_GT(kept - ResidentBytes(), (long long)(size)*3 / 4);
    // A room now is a new one, whole, and given back once.
    char* fresh = static_cast<char*>(AcquireLargeRoom(size));
    ASSERT_NE(fresh, nullptr);
    std::memset(fresh, 6, size);
    EXPECT_TRUE(ReleaseLargeRoom(fresh));
    EXPECT_FALSE(ReleaseLargeRoom(fresh));
}

TEST(LargeBufferTest, ARequestLargerThanEveryKeptRoomGetsAWholeRoom) {
    constexpr std::size_t size = std::size_t(40) << 20;
    char* small = static_cast<char*>(AcquireLargeRoom(size / 4));
    ASSERT_NE(small, nullptr);
    EXPECT_TRUE(ReleaseLargeRoom(small));
    char* large = static_cast<char*>(AcquireLargeRoom(size));
    ASSERT_NE(large, nullptr);
    std::memset(large, 2, size);
    EXPECT_EQ(large[size - 1], 2);
    EXPECT_TRUE(ReleaseLargeRoom(large));
}

TEST(LargeBufferTest, OtherPointersAreNotRoomsAndSmallRoomsComeFromTheHeap) {
    int local = 0;
    EXPECT_FALSE(ReleaseLargeRoom(&local));
    EXPECT_FALSE(ReleaseLargeRoom(nullptr));
    TVxRoom heap = AcquireRoom(100);
    ASSERT_NE(heap, nullptr);
    std::memset(heap.get(), 3, 100);
    TVxRoom large = AcquireRoom(LargeRoomBytes);
    ASSERT_NE(large, nullptr);
    large.get()[LargeRoomBytes - 1] = 4;
    // Both are freed by their owner, each in its own way (the sanitizers check).
}
