#include "platform/d3d8/SoftVertexBuffer.h"

#include <new>

namespace softd3d {

HRESULT VertexBuffer::Create(UINT length, DWORD fvf, IDirect3DVertexBuffer8** buffer) {
    if (buffer == nullptr || length == 0 || length > kMaxVertexBufferBytes) {
        return D3DERR_INVALIDCALL;
    }
    try {
        *buffer = new VertexBuffer(length, fvf);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

VertexBuffer::VertexBuffer(UINT length, DWORD fvf_) : bytes(length, 0), fvf(fvf_) {}

HRESULT VertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, BYTE** data, DWORD /*flags*/) {
    const UINT length = Length();
    if (data == nullptr || offsetToLock > length) {
        return D3DERR_INVALIDCALL;
    }
    const UINT size = sizeToLock == 0 ? length - offsetToLock : sizeToLock;
    if (size == 0 || size > length - offsetToLock) {
        return D3DERR_INVALIDCALL;
    }
    *data = bytes.data() + offsetToLock;
    ++lockCount;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (lockCount == 0) {
        return D3DERR_INVALIDCALL;
    }
    --lockCount;
    return D3D_OK;
}

}  // namespace softd3d
