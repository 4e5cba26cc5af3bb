// Damaged files can declare arrays of gigabytes. Those arrays must cost
// address space only: memory the file does not fill is never touched.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "level/trLevel.h"
#include "level/writer/LevelWriter.h"
#include "tests/level/LevelTestSupport.h"

namespace {

// Resident set of this process in bytes, from /proc/self/statm.
std::size_t ResidentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return 0;
    unsigned long totalPages = 0, residentPages = 0;
    const int fields = std::fscanf(statm, "%lu %lu", &totalPages, &residentPages);
    std::fclose(statm);
    return fields == 2 ? residentPages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kAllowedGrowth = 64 * kMiB;

struct HugeCase {
    const char* name;
    void (*damage)(LevelDescription&);
    bool allocatesHugeArray;  // otherwise it tempts the reader into a huge buffer
};

const HugeCase kHugeCases[] = {
    {"chunk declared at 4 GiB",
     [](LevelDescription& d) { d.chunks[0].declaredSize = 0xFFFFFFFFu; },
     true},
    {"packed size of 4 GiB",
     [](LevelDescription& d) { d.chunks[0].packedSize = 0xFFFFFFF0u; },
     false},
    {"mesh data of 4 GiB",
     [](LevelDescription& d) { d.countOverrides[LevelCount::MeshData] = 0x7FFFFFFFu; },
     true},
    {"sectors of 4 GiB",
     [](LevelDescription& d) {
         d.rooms = {RoomDescription{}};
         d.rooms[0].numZSectors = 0xFFFF;
         d.rooms[0].numXSectors = 0x7FFF;
     },
     true},
    {"100 million object textures",
     [](LevelDescription& d) { d.countOverrides[LevelCount::ObjectTextures] = 100'000'000u; },
     true},
};

TEST(LargeArrayMemoryTest, SmallFileClaimingHugeArraysStaysSmall) {
    for (const HugeCase& c : kHugeCases) {
        SCOPED_TRACE(c.name);
        LevelDescription description;
        description.textiles32 = PatternBytes(1, 500, 1);
        c.damage(description);
        const std::vector<uint8_t> image = WriteLevelFile(description);
        ASSERT_LT(image.size(), 2048u);

        const std::size_t before = ResidentBytes();
        ASSERT_GT(before, 0u);
        trLevel level{};
        ASSERT_EQ(LoadImageInto(level, image), 1);
        const std::size_t after = ResidentBytes();

        const std::size_t largest =
            std::max({level.textiles32.byteCount(), level.levelData.byteCount(), level.meshData.byteCount(),
                      level.objectTextures.byteCount(),
                      level.rooms.empty() ? std::size_t{0} : level.rooms[0].sectors.byteCount()});
        if (c.allocatesHugeArray) {
            EXPECT_GE(largest, std::size_t{1} << 30) << "the case must really allocate a huge array";
        }
        EXPECT_LT(after - std::min(after, before), kAllowedGrowth)
            << "resident grew from " << before / kMiB << " MiB to " << after / kMiB << " MiB";
    }
}

// Memory that no read filled reads as zero, never as leftover heap.
TEST(LargeArrayMemoryTest, UnfilledArraysReadAsZero) {
    for (int round = 0; round < 3; ++round) {
        OwnedBytes dirty;
        dirty.Allocate(1 << 20);
        std::memset(dirty.bytes(), 0xAB, dirty.byteCount());
        dirty.Release();

        LevelDescription description;
        description.countOverrides[LevelCount::MeshData] = 1 << 19;  // 1 MiB of words, block ends first
        auto level = ParseBlock(EncodeLevelData(description));
        ASSERT_EQ(level->meshData.byteCount(), 1u << 20);
        EXPECT_TRUE(AllZero(level->meshData));
    }
}

TEST(LargeArrayMemoryTest, ImpossibleAllocationsThrowBadAlloc) {
    OwnedBytes block;
    EXPECT_THROW(block.AllocateElements(SIZE_MAX / 2, 38), std::bad_alloc);
    EXPECT_THROW(block.Allocate(std::size_t{1} << 60), std::bad_alloc);  // an exbibyte
    EXPECT_FALSE(block.allocated());
}

}  // namespace
