// Reference counting shared by every object of the software Direct3D, and an
// owning holder for one reference.
#pragma once

#include <utility>

#include "platform/d3d8/d3d8.h"

namespace softd3d {

// The live-object counter behind LiveObjectCount.
void NoteObjectCreated();
void NoteObjectDestroyed();

// Implements AddRef/Release of Interface: a new object holds one reference
// and destroys itself when the last one is released.
template <class Interface>
class RefCounted : public Interface {
public:
    RefCounted() { NoteObjectCreated(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddRef() override { return ++references; }

    ULONG Release() override {
        const ULONG remaining = --references;
        if (remaining == 0) {
            delete this;  // the one place an object of this library ends
        }
        return remaining;
    }

protected:
    virtual ~RefCounted() { NoteObjectDestroyed(); }

private:
    ULONG references = 1;
};

// Holds one reference to a Direct3D object; Release on reset and destruction.
template <class Interface>
class RefPtr {
public:
    RefPtr() = default;
    // Takes a new reference on object (the caller keeps its own).
    static RefPtr Share(Interface* object) {
        if (object != nullptr) {
            object->AddRef();
        }
        return RefPtr(object);
    }
    // Takes over the caller's reference.
    static RefPtr Adopt(Interface* object) { return RefPtr(object); }

    RefPtr(RefPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    RefPtr& operator=(RefPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    RefPtr(const RefPtr&) = delete;
    RefPtr& operator=(const RefPtr&) = delete;
    ~RefPtr() { Reset(); }

    void Reset() {
        if (Interface* old = std::exchange(object, nullptr)) {
            old->Release();
        }
    }
    Interface* Get() const { return object; }
    Interface* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }

private:
    explicit RefPtr(Interface* adopted) : object(adopted) {}
    Interface* object = nullptr;
};

}  // namespace softd3d
