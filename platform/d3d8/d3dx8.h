// Our own D3DX 8 declarations: the matrix and vector helpers and texture
// creation, with D3DX's conventions (left-handed, row vectors).
#pragma once

#include "platform/d3d8/d3d8.h"

struct D3DXVECTOR3 {
    float x, y, z;

    D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    bool operator==(const D3DXVECTOR3&) const = default;
};

struct D3DXMATRIX : D3DMATRIX {
    D3DXMATRIX() = default;
    D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24, float m31,
               float m32, float m33, float m34, float m41, float m42, float m43, float m44);

    float& operator()(UINT row, UINT column) { return m[row][column]; }
    float operator()(UINT row, UINT column) const { return m[row][column]; }

    D3DXMATRIX operator*(const D3DXMATRIX& other) const;
    bool operator==(const D3DXMATRIX& other) const;
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
// out = a * b; out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar);
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);

// Creates a texture on the device; mipLevels 0 asks for the full chain down
// to 1 x 1 (256 x 256 has 9 levels).
HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);
