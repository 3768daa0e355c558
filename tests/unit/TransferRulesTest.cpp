// Rules of a ranged transfer: buffer sizes at start and when growing, the
// size of each read, and the Range header.
#include "services/TransferRules.h"

#include <gtest/gtest.h>

namespace {
using namespace TransferRules;

TEST(TransferRules, StartBufferSizeKeepsOnlySizesInItsRange) {
    const struct {
        int32_t requested;
        int32_t used;
    } cases[] = {
        {0, 262144},        {32767, 262144},     {32768, 32768},
        {2097152, 2097152}, {8388608, 8388608},  {8388609, 262144},
        {-1, 262144},       {INT32_MIN, 262144}, {INT32_MAX, 262144},
    };
    for (const auto& c : cases) EXPECT_EQ(StartBufferSize(c.requested), c.used) << c.requested;
}

TEST(TransferRules, BufferGrowsOnlyToLargerSizesUpTo8MiB) {
    const struct {
        int32_t current;
        int32_t requested;
        bool grows;
    } cases[] = {
        {262144, 2097152, true},   {262144, 262145, true}, {262144, 8388608, true},
        {262144, 262144, false},   {262144, 32768, false}, {262144, 8388609, false},
        {8388608, 8388609, false}, {262144, -1, false},    {262144, INT32_MAX, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GrowsBuffer(c.current, c.requested), c.grows)
            << c.current << " -> " << c.requested;
    }
}

TEST(TransferRules, ReadSizeIsWhatFitsAndIsLeftAtMost4096) {
    const struct {
        int32_t bufferSize, buffered, position, end;
        int32_t size;
    } cases[] = {
        {262144, 0, 0, 100000, 4096},       // a full read
        {262144, 262000, 0, 1000000, 144},  // the buffer's last room
        {262144, 0, 99000, 100000, 1000},   // the range's last bytes
        {32768, 32768, 0, 100000, 0},       // buffer full
        {32768, 0, 100000, 100000, 0},      // range done
        {32768, 0, 100001, 100000, 0},      // past the end: nothing, not negative
        {32768, 0, 0, INT32_MAX, 4096},
        {8388608, 0, INT32_MIN, INT32_MAX, 4096},  // no overflow in the difference
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NextReadSize(c.bufferSize, c.buffered, c.position, c.end), c.size)
            << c.bufferSize << " " << c.buffered << " " << c.position << " " << c.end;
    }
}

TEST(TransferRules, RangeHeaderIsOpenForANegativeEnd) {
    EXPECT_EQ(RangeHeader(0, -1), u"Range: bytes=0-\r\n");
    EXPECT_EQ(RangeHeader(5000, -7), u"Range: bytes=5000-\r\n");
    EXPECT_EQ(RangeHeader(0, 99), u"Range: bytes=0-99\r\n");
    EXPECT_EQ(RangeHeader(10, 0), u"Range: bytes=10-0\r\n");
    EXPECT_EQ(RangeHeader(INT32_MAX, INT32_MAX), u"Range: bytes=2147483647-2147483647\r\n");
}
}  // namespace
