// Controls of the software Direct3D adapter that only tests and tools use.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace softd3d {

// Makes CheckDeviceFormat refuse textures of this format (D3DERR_NOTAVAILABLE),
// so the 16-bit texture path can be exercised. D3DFMT_UNKNOWN accepts all
// supported formats again.
void RefuseTextureFormat(D3DFORMAT format);

// Number of Direct3D objects (Direct3D, devices, textures, vertex buffers)
// alive right now; tests check that it returns to its starting value.
int LiveObjectCount();

}  // namespace softd3d
