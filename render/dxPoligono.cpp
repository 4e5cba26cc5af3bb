#include "render/dxPoligono.h"

namespace {

// Stores the page and one (u, v) pair per record, whatever the positions.
template <int Count>
HRESULT StoreTextureCoords(IDirect3DTexture8*& storedPage, TexturedVertex (&records)[Count], IDirect3DTexture8* page,
                           const float (&uv)[Count][2]) {
    if (page == nullptr) {
        return E_FAIL;
    }
    storedPage = page;
    for (int i = 0; i < Count; ++i) {
        records[i].u = uv[i][0];
        records[i].v = uv[i][1];
    }
    return D3D_OK;
}

}  // namespace

HRESULT dxTriangulo::AddVertex(float x, float y, float z) { return StorePosition(colouredVertices, x, y, z); }

HRESULT dxCuadrado::AddVertex(float x, float y, float z) { return StorePosition(colouredVertices, x, y, z); }

HRESULT dxTrianguloTex::AddVertex(float x, float y, float z) { return StorePosition(texturedVertices, x, y, z); }

HRESULT dxCuadradoTex::AddVertex(float x, float y, float z) { return StorePosition(texturedVertices, x, y, z); }

HRESULT dxTrianguloTex::SetTextureCoords(IDirect3DTexture8* page, float u0, float v0, float u1, float v1, float u2,
                                         float v2) {
    const float uv[3][2] = {{u0, v0}, {u1, v1}, {u2, v2}};
    return StoreTextureCoords(texturePage, texturedVertices, page, uv);
}

HRESULT dxCuadradoTex::SetTextureCoords(IDirect3DTexture8* page, float u0, float v0, float u1, float v1, float u2,
                                        float v2, float u3, float v3) {
    const float uv[4][2] = {{u0, v0}, {u1, v1}, {u2, v2}, {u3, v3}};
    return StoreTextureCoords(texturePage, texturedVertices, page, uv);
}
