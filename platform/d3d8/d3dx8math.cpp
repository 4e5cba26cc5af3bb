// D3DX matrix helpers: left-handed coordinates, row vectors (v' = v * M).
#include <cmath>

#include "platform/d3d8/d3dx8.h"

namespace {

D3DXVECTOR3 Subtract(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// A zero vector stays zero rather than becoming NaNs.
D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
    const float length = std::sqrt(Dot(v, v));
    if (length == 0.0f) {
        return {0.0f, 0.0f, 0.0f};
    }
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44) {
    _11 = m11, _12 = m12, _13 = m13, _14 = m14;
    _21 = m21, _22 = m22, _23 = m23, _24 = m24;
    _31 = m31, _32 = m32, _33 = m33, _34 = m34;
    _41 = m41, _42 = m42, _43 = m43, _44 = m44;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& other) const {
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, this, &other);
    return product;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& other) const {
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (m[row][column] != other.m[row][column]) {
                return false;
            }
        }
    }
    return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX product;  // out may alias a or b
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a->m[row][k] * b->m[k][column];
            }
            product.m[row][column] = sum;
        }
    }
    *out = product;
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    const float depth = zFar / (zFar - zNear);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -zNear * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    const D3DXVECTOR3 zAxis = Normalize(Subtract(*at, *eye));
    const D3DXVECTOR3 xAxis = Normalize(Cross(*up, zAxis));
    const D3DXVECTOR3 yAxis = Cross(zAxis, xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0,  //
                      xAxis.y, yAxis.y, zAxis.y, 0,  //
                      xAxis.z, yAxis.z, zAxis.z, 0,  //
                      -Dot(xAxis, *eye), -Dot(yAxis, *eye), -Dot(zAxis, *eye), 1);
    return out;
}
