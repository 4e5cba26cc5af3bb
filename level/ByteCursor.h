// A bounded reader over a block of memory that it does not own.
#pragma once

#include <cstdint>

struct ByteCursor {
    uint32_t size = 0;                // bytes in the block
    uint32_t offset = 0;              // next byte to read; above size once exhausted
    const uint8_t* data = nullptr;    // first byte of the block; null refuses every read
};

// Result codes of ReadBytes.
constexpr int kReadDone = 1;
constexpr int kReadRefused = 0;
constexpr int kReadNoDestination = 8;

void InitCursor(ByteCursor& cursor, uint32_t size, const void* data);

// Copies the next n bytes into destination and advances the cursor.
// Returns kReadDone, kReadRefused (no data, exhausted, or fewer than n bytes
// left: then nothing is copied and the cursor moves past its end for good),
// or kReadNoDestination.
int ReadBytes(void* destination, uint32_t n, ByteCursor& cursor);
