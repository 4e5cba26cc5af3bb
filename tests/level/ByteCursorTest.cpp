#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "level/ByteCursor.h"

namespace {

constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();

struct ReadCase {
    const char* name;
    uint32_t size;         // of a block holding 0, 1, 2, ... (at most 16 bytes)
    uint32_t startOffset;
    uint32_t n;
    bool nullData;
    bool nullDestination;
    int expectedResult;
    uint32_t expectedOffset;
};

const ReadCase kReadCases[] = {
    {"whole block", 10, 0, 10, false, false, kReadDone, 10},
    {"ends exactly at the end", 10, 8, 2, false, false, kReadDone, 10},
    {"zero bytes at the end", 10, 10, 0, false, false, kReadDone, 10},
    {"zero bytes in the middle", 10, 4, 0, false, false, kReadDone, 4},
    {"zero bytes on an empty block", 0, 0, 0, false, false, kReadDone, 0},
    {"one byte past the end exhausts", 10, 10, 1, false, false, kReadRefused, 11},
    {"too few left advances anyway", 10, 8, 4, false, false, kReadRefused, 12},
    {"exhausted refuses even 0 bytes", 10, 11, 0, false, false, kReadRefused, 11},
    {"exhausted refuses", 10, 12, 1, false, false, kReadRefused, 12},
    {"offset saturates instead of wrapping", 10, 8, kMax, false, false, kReadRefused, kMax},
    {"offset saturates near the top", kMax - 4, kMax - 8, 16, false, false, kReadRefused, kMax},
    {"null data refuses", 10, 0, 1, true, false, kReadRefused, 0},
    {"null data refuses 0 bytes", 10, 0, 0, true, false, kReadRefused, 0},
    {"null destination", 10, 4, 2, false, true, kReadNoDestination, 4},
    {"null destination, too few left", 10, 8, 4, false, true, kReadNoDestination, 8},
    {"null destination on exhausted cursor", 10, 11, 1, false, true, kReadRefused, 11},
    {"null destination and null data", 10, 0, 1, true, true, kReadRefused, 0},
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class ReadBytesTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadBytesTest, ResultOffsetAndCopy) {
    const ReadCase& c = GetParam();
    std::array<uint8_t, 16> block{};
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i + 1);
    std::array<uint8_t, 32> destination{};
    destination.fill(0xEE);

    ByteCursor cursor;
    // Sizes above 16 are only used on reads that must not touch the block.
    InitCursor(cursor, c.size, c.nullData ? nullptr : block.data());
    cursor.offset = c.startOffset;
    const int result = ReadBytes(c.nullDestination ? nullptr : destination.data(), c.n, cursor);

    EXPECT_EQ(result, c.expectedResult);
    EXPECT_EQ(cursor.offset, c.expectedOffset);
    EXPECT_EQ(cursor.size, c.size);
    const std::size_t copied = result == kReadDone ? c.n : 0;
    for (std::size_t i = 0; i < destination.size(); ++i) {
        const uint8_t expected = i < copied ? block[c.startOffset + i] : 0xEE;
        ASSERT_EQ(destination[i], expected) << "byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadBytesTest, testing::ValuesIn(kReadCases),
                         [](const testing::TestParamInfo<ReadCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name) {
                                 if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             }
                             return name;
                         });

TEST(ByteCursorTest, InitCursorResetsOffset) {
    const uint8_t block[4] = {1, 2, 3, 4};
    ByteCursor cursor;
    cursor.offset = 99;
    InitCursor(cursor, 4, block);
    EXPECT_EQ(cursor.size, 4u);
    EXPECT_EQ(cursor.offset, 0u);
    EXPECT_EQ(cursor.data, block);
}

TEST(ByteCursorTest, FirstRefusedReadEndsEveryLaterRead) {
    const uint8_t block[10] = {};
    uint8_t out[8];
    ByteCursor cursor;
    InitCursor(cursor, sizeof(block), block);
    ASSERT_EQ(ReadBytes(out, 8, cursor), kReadDone);
    ASSERT_EQ(ReadBytes(out, 4, cursor), kReadRefused);
    EXPECT_EQ(ReadBytes(out, 1, cursor), kReadRefused);
    EXPECT_EQ(ReadBytes(out, 0, cursor), kReadRefused);
    EXPECT_EQ(cursor.offset, 12u);
    EXPECT_FALSE(cursor.offset < cursor.size);
}

TEST(ByteCursorTest, ConsecutiveReadsWalkTheBlock) {
    const uint8_t block[6] = {1, 2, 3, 4, 5, 6};
    uint8_t a[2], b[4];
    ByteCursor cursor;
    InitCursor(cursor, sizeof(block), block);
    ASSERT_EQ(ReadBytes(a, 2, cursor), kReadDone);
    ASSERT_EQ(ReadBytes(b, 4, cursor), kReadDone);
    EXPECT_EQ(a[1], 2);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[3], 6);
    EXPECT_EQ(ReadBytes(a, 0, cursor), kReadDone);
    EXPECT_EQ(ReadBytes(a, 1, cursor), kReadRefused);
}

}  // namespace
