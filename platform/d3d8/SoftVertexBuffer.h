// Vertex buffers of the software Direct3D: a block of bytes in system memory.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/SoftObject.h"
#include "platform/d3d8/d3d8.h"

namespace softd3d {

// Largest vertex buffer accepted (64 MiB); larger requests are refused.
constexpr UINT kMaxVertexBufferBytes = 64u << 20;

class VertexBuffer final : public RefCounted<IDirect3DVertexBuffer8> {
public:
    // Fails with D3DERR_INVALIDCALL for length 0 or above kMaxVertexBufferBytes,
    // E_OUTOFMEMORY when the memory cannot be had. The bytes start as zero.
    static HRESULT Create(UINT length, DWORD fvf, IDirect3DVertexBuffer8** buffer);

    // Lock(0, 0, ...) locks the whole buffer; a size of 0 locks from offset to
    // the end. A range that does not lie inside the buffer is refused. Locks
    // nest: each needs its own Unlock.
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;

    const BYTE* Data() const { return bytes.data(); }
    UINT Length() const { return static_cast<UINT>(bytes.size()); }
    DWORD Fvf() const { return fvf; }

private:
    VertexBuffer(UINT length, DWORD fvf);

    std::vector<BYTE> bytes;
    DWORD fvf;
    UINT lockCount = 0;
};

}  // namespace softd3d
