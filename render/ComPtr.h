// Owning holder for one reference to a reference-counted Direct3D object:
// the reference is given back with Release when the holder lets go of it.
#pragma once

#include <memory>

#include "platform/d3d8/d3d8.h"

struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};

template <class Interface>
using ComPtr = std::unique_ptr<Interface, ReleaseInterface>;
