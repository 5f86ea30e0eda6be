#pragma once
// Room for large texts and records in memory. A block of many megabytes is a fresh mapping
// whose every 4 KB page costs a fault when first written; asking for huge pages turns that
// into one fault per 2 MB where the system offers them.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#ifdef __linux__
#include <sys/mman.h>
#endif

/// Rooms at least this large are worth huge pages.
constexpr std::size_t LargeRoomBytes = std::size_t(8) << 20;

/// Asks the system to back the not yet written memory [Data, Data + Size) with huge pages
/// when Size is at least LargeRoomBytes. Only a hint: where it is not offered, nothing
/// changes.
inline void AdviseLargeRoom([[maybe_unused]] void* Data, [[maybe_unused]] std::size_t Size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (Size < LargeRoomBytes)
        return;
    constexpr std::uintptr_t page = 4096;
    const auto start = reinterpret_cast<std::uintptr_t>(Data);
    const std::uintptr_t first = (start + page - 1) & ~(page - 1);
    const std::uintptr_t last = (start + Size) & ~(page - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

/// Reserves room for Capacity bytes in Text (never shrinks it) and advises the new room.
inline void ReserveLarge(QByteArray& Text, qsizetype Capacity) {
    if (Capacity <= Text.capacity())
        return;
    Text.reserve(Capacity);
    AdviseLargeRoom(Text.data() + Text.size(), std::size_t(Text.capacity() - Text.size()));
}

/// The same for a std::string.
inline void ReserveLarge(std::string& Text, std::size_t Capacity) {
    if (Capacity <= Text.capacity())
        return;
    Text.reserve(Capacity);
    AdviseLargeRoom(Text.data() + Text.size(), Text.capacity() - Text.size());
}

/// Room of at least Size bytes for a large text or record (Size at least LargeRoomBytes is
/// worth it), aligned for any type; nullptr when the system has none. Rooms given back by
/// ReleaseLargeRoom are handed out again, so that a program that saves and loads large
/// records in turn does not have every page of them faulted in afresh: their contents are
/// then arbitrary. Thread-safe.
void* AcquireLargeRoom(std::size_t Size);
/// Gives back a room of AcquireLargeRoom and returns true; false (nothing done) for any
/// other pointer. A few rooms are kept (up to LargeRoomsKeptBytes in all, their pages left
/// to the system to take back when it needs them), the rest are unmapped.
bool ReleaseLargeRoom(void* Room);
/// Unmaps the rooms kept for reuse (for a program done with large records, or one that
/// measures the memory a single save takes).
void FreeKeptLargeRooms();
/// The most bytes of rooms kept for reuse.
constexpr std::size_t LargeRoomsKeptBytes = std::size_t(1) << 30;

/// Frees a room of AcquireRoom.
struct TVxRoomRelease {
    void operator()(char* Room) const;
};
/// Room for bytes owned by a unique pointer.
using TVxRoom = std::unique_ptr<char[], TVxRoomRelease>;
/// Room for Size bytes: a reused large room when Size is at least LargeRoomBytes, else a
/// heap block; nullptr when there is none.
TVxRoom AcquireRoom(std::size_t Size);
