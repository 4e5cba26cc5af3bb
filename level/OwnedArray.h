// Heap arrays owned by the level record.
//
// A damaged level can declare arrays of gigabytes. They are taken with
// calloc, which the OS zero-fills lazily, so memory that no read fills is
// never touched and always reads as zeros, never as leftover heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

// An untyped owned block of bytes. Empty-but-allocated and absent are
// different states: Allocate(0) gives a non-null block of 0 bytes.
class OwnedBytes {
public:
    // Replaces the block (releasing the old one) with byteCount zero bytes.
    // Throws std::bad_alloc when the memory cannot be had.
    void Allocate(std::size_t byteCount) {
        void* block = std::calloc(byteCount == 0 ? 1 : byteCount, 1);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        storage_.reset(static_cast<uint8_t*>(block));
        byteCount_ = byteCount;
    }

    // Like Allocate, for count elements of elementSize bytes; throws
    // std::bad_alloc when the product does not fit the address range.
    void AllocateElements(std::size_t count, std::size_t elementSize) {
        if (elementSize != 0 && count > SIZE_MAX / elementSize) {
            throw std::bad_alloc();
        }
        Allocate(count * elementSize);
    }

    void Release() {
        storage_.reset();
        byteCount_ = 0;
    }

    uint8_t* bytes() const { return storage_.get(); }
    std::size_t byteCount() const { return byteCount_; }
    bool allocated() const { return storage_ != nullptr; }
    explicit operator bool() const { return allocated(); }

private:
    struct FreeDeleter {
        void operator()(uint8_t* block) const { std::free(block); }
    };
    std::unique_ptr<uint8_t, FreeDeleter> storage_;
    std::size_t byteCount_ = 0;
};

// An owned array of plain records (copied byte for byte from a file).
// Its element count is the block's byte count divided by the record size.
template <typename T>
class OwnedArray : public OwnedBytes {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "OwnedArray holds plain records only");

public:
    T* get() const { return reinterpret_cast<T*>(bytes()); }
    std::size_t size() const { return byteCount() / sizeof(T); }
    bool empty() const { return size() == 0; }
    T& operator[](std::size_t index) const { return get()[index]; }
    T* begin() const { return get(); }
    T* end() const { return get() + size(); }
};
