#include "persistence/LargeBuffer.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

struct TRoom {
    void* Start = nullptr;
    std::size_t Size = 0; // of the mapping
};

// The rooms in use and the rooms kept for reuse, oldest first.
struct TRooms {
    std::mutex Lock;
    std::vector<TRoom> InUse;
    std::vector<TRoom> Kept;
    std::size_t KeptBytes = 0;
};

TRooms& Rooms() {
    static TRooms* rooms = new TRooms; // never destroyed: rooms may be released at exit
    return *rooms;
}

constexpr std::size_t HugePage = std::size_t(2) << 20;

void* MapRoom(std::size_t Size) {
#ifdef __linux__
    void* start = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED)
        return nullptr;
    AdviseLargeRoom(start, Size);
    return start;
#else
    return std::malloc(Size);
#endif
}

void UnmapRoom(const TRoom& Room) {
#ifdef __linux__
    munmap(Room.Start, Room.Size);
#else
    std::free(Room.Start);
#endif
}

// The pages of a kept room may be taken back by the system when it runs short (they read
// as zeros then); until it does, they are reused without a fault.
void LetGo([[maybe_unused]] const TRoom& Room) {
#if defined(__linux__) && defined(MADV_FREE)
    madvise(Room.Start, Room.Size, MADV_FREE);
#endif
}

} // namespace

void* AcquireLargeRoom(std::size_t Size) {
    TRooms& rooms = Rooms();
    TRoom room;
    {
        const std::lock_guard<std::mutex> lock(rooms.Lock);
        // The smallest kept room that holds Size (the last given back of equal ones).
        auto best = rooms.Kept.end();
        for (auto it = rooms.Kept.begin(); it != rooms.Kept.end(); ++it)
            if (it->Size >= Size && (best == rooms.Kept.end() || it->Size <= best->Size))
                best = it;
#if defined(__linux__) && defined(MREMAP_MAYMOVE)
        // None holds it: the largest grows, keeping its pages, so that a text written
        // from its start lands in pages already there (the system moves the mapping).
        if (best == rooms.Kept.end() && !rooms.Kept.empty()) {
            best = std::max_element(rooms.Kept.begin(), rooms.Kept.end(),
                                    [](const TRoom& a, const TRoom& b) { return a.Size < b.Size; });
            const std::size_t size = std::max(HugePage, std::bit_ceil(Size));
            void* moved = mremap(best->Start, best->Size, size, MREMAP_MAYMOVE);
            if (moved != MAP_FAILED) {
                rooms.KeptBytes += size - best->Size;
                *best = {moved, size};
                AdviseLargeRoom(moved, size);
            } else {
                best = rooms.Kept.end();
            }
        }
#endif
        if (best != rooms.Kept.end()) {
            room = *best;
            rooms.KeptBytes -= room.Size;
            rooms.Kept.erase(best);
            rooms.InUse.push_back(room);
            return room.Start;
        }
    }
    // Rooms come in powers of two (only the pages written count), so that one given back
    // fits the next large text of a similar size: a record's text saved, then the file
    // text it is parsed from.
    room.Size = std::max(HugePage, std::bit_ceil(Size));
    room.Start = MapRoom(room.Size);
    if (room.Start == nullptr)
        return nullptr;
    const std::lock_guard<std::mutex> lock(rooms.Lock);
    rooms.InUse.push_back(room);
    return room.Start;
}

bool ReleaseLargeRoom(void* Room) {
    if (Room == nullptr)
        return false;
    TRooms& rooms = Rooms();
    std::vector<TRoom> unmap;
    {
        const std::lock_guard<std::mutex> lock(rooms.Lock);
        const auto it = std::find_if(rooms.InUse.begin(), rooms.InUse.end(),
                                     [Room](const TRoom& r) { return r.Start == Room; });
        if (it == rooms.InUse.end())
            return false;
        const TRoom room = *it;
        rooms.InUse.erase(it);
        if (room.Size > LargeRoomsKeptBytes) {
            unmap.push_back(room);
        } else {
            LetGo(room);
            rooms.Kept.push_back(room);
            rooms.KeptBytes += room.Size;
            while (rooms.KeptBytes > LargeRoomsKeptBytes) {
                unmap.push_back(rooms.Kept.front());
                rooms.KeptBytes -= rooms.Kept.front().Size;
                rooms.Kept.erase(rooms.Kept.begin());
            }
        }
    }
    for (const TRoom& room : unmap)
        UnmapRoom(room);
    return true;
}

void FreeKeptLargeRooms() {
    TRooms& rooms = Rooms();
    std::vector<TRoom> unmap;
    {
        const std::lock_guard<std::mutex> lock(rooms.Lock);
        unmap.swap(rooms.Kept);
        rooms.KeptBytes = 0;
    }
    for (const TRoom& room : unmap)
        UnmapRoom(room);
}

void TVxRoomRelease::operator()(char* Room) const {
    if (!ReleaseLargeRoom(Room))
        std::free(Room);
}

TVxRoom AcquireRoom(std::size_t Size) {
    return TVxRoom(static_cast<char*>(Size >= LargeRoomBytes
                                          ? AcquireLargeRoom(Size)
                                          : std::malloc(std::max<std::size_t>(Size, 1))));
}
