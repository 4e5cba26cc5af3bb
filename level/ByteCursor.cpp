#include "level/ByteCursor.h"

#include <cstring>
#include <limits>

void InitCursor(ByteCursor& cursor, uint32_t size, const void* data) {
    cursor.size = size;
    cursor.offset = 0;
    cursor.data = static_cast<const uint8_t*>(data);
}

int ReadBytes(void* destination, uint32_t n, ByteCursor& cursor) {
    if (cursor.data == nullptr || cursor.offset > cursor.size) {
        return kReadRefused;
    }
    if (destination == nullptr) {
        return kReadNoDestination;
    }
    const uint32_t remaining = cursor.size - cursor.offset;
    if (remaining < n) {
        // Written so it cannot wrap: the offset saturates at the largest value.
        const uint32_t room = std::numeric_limits<uint32_t>::max() - cursor.offset;
        cursor.offset = n > room ? std::numeric_limits<uint32_t>::max() : cursor.offset + n;
        return kReadRefused;
    }
    std::memcpy(destination, cursor.data + cursor.offset, n);
    cursor.offset += n;
    return kReadDone;
}
