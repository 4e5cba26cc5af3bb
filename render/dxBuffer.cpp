#include "render/dxBuffer.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t kColouredFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr int32_t kTexturedFVF = D3DFVF_XYZ | D3DFVF_TEX1;
// Most vertices a buffer takes, so that its size in bytes fits Build's result.
constexpr int32_t kMaxVertexCount = INT32_MAX / static_cast<int32_t>(sizeof(TexturedVertex));

// Copies every polygon's records, in list order, into one array of
// vertexCount records, and calls onPolygon(polygon) for each polygon.
template <class Record, class OnPolygon>
void CopyRecords(const PolygonNode* head, int32_t vertexCount, std::vector<Record>& records, OnPolygon onPolygon) {
    records.assign(static_cast<size_t>(vertexCount), Record{});
    size_t next = 0;
    for (const PolygonNode* node = head; node != nullptr; node = node->next.get()) {
        dxPoligono& polygon = *node->polygon;
        const size_t count = static_cast<size_t>(RecordCountOf(polygon.GetKind()));
        if (next + count > records.size()) {
            break;  // the counts are kept in step with the list, so this never happens
        }
        std::memcpy(&records[next], polygon.GetVertexData(), count * sizeof(Record));
        next += count;
        onPolygon(polygon);
    }
}

template <class Entry>
Entry EntryOrDefault(const std::vector<Entry>& entries, int32_t i) {
    if (i < 0 || static_cast<size_t>(i) >= entries.size()) {
        return Entry{};
    }
    return entries[static_cast<size_t>(i)];
}

IDirect3DTexture8* TextureOf(const dxPoligono& polygon) {
    switch (polygon.GetKind()) {
        case PolygonKind::TexturedTriangle:
            return static_cast<const dxTrianguloTex&>(polygon).GetTexture();
        case PolygonKind::TexturedQuad:
            return static_cast<const dxCuadradoTex&>(polygon).GetTexture();
        default:
            return nullptr;
    }
}

}  // namespace

dxBufferColor8::dxBufferColor8() : dxBufferColor8(kColouredFVF, sizeof(ColouredVertex)) {}

dxBufferColor8::dxBufferColor8(int32_t fvf, int32_t stride) : fvf(fvf), stride(stride) { D3DXMatrixIdentity(&world); }

dxBufferColor8::~dxBufferColor8() {
    vertexBuffer.reset();
    // Unlink one node at a time so a long list is not freed by deep recursion.
    while (polygons) {
        polygons = std::move(polygons->next);
    }
}

HRESULT dxBufferColor8::AddPolygon(std::unique_ptr<dxPoligono> polygon) {
    if (!polygon || !Holds(polygon->GetKind()) ||
        GetVertexCount() > kMaxVertexCount - RecordCountOf(polygon->GetKind())) {
        return E_FAIL;
    }
    if (IsQuadKind(polygon->GetKind())) {
        ++quadCount;
    } else {
        ++triangleCount;
    }
    polygons = std::make_unique<PolygonNode>(PolygonNode{std::move(polygon), std::move(polygons)});
    dirty = true;
    return D3D_OK;
}

bool dxBufferColor8::Holds(PolygonKind kind) const { return !IsTexturedKind(kind); }

int32_t dxBufferColor8::BuiltFlags(const dxPoligono& polygon, bool textured) {
    // The quad and textured bits come from the polygon's class alone.
    int32_t flags = polygon.GetFlags() & ~(kPolygonQuad | kPolygonTextured);
    if (IsQuadKind(polygon.GetKind())) {
        flags |= kPolygonQuad;
    }
    if (textured) {
        flags |= kPolygonTextured;
    }
    return flags;
}

int32_t dxBufferColor8::Build() {
    if (!dirty) {
        return -1;
    }
    polygonFlags.clear();
    polygonFlags.reserve(static_cast<size_t>(triangleCount + quadCount));
    CopyRecords(FirstPolygon(), GetVertexCount(), vertexArray,
                [this](const dxPoligono& polygon) { polygonFlags.push_back(BuiltFlags(polygon, false)); });
    return GetVertexCount() * GetStride();
}

const void* dxBufferColor8::GetVertexData() const { return vertexArray.empty() ? nullptr : vertexArray.data(); }

IDirect3DTexture8* dxBufferColor8::GetPolygonTexture(int32_t) const { return nullptr; }

int32_t dxBufferColor8::GetPolygonFlags(int32_t i) const { return EntryOrDefault(polygonFlags, i); }

int32_t dxBufferColor8::Translate(float x, float y, float z) {
    D3DXMATRIX translation;
    D3DXMatrixTranslation(&translation, x, y, z);
    D3DXMatrixMultiply(&world, &translation, &world);
    return 0;
}

void dxBufferColor8::RotateY(float angle) {
    D3DXMATRIX rotation;
    D3DXMatrixRotationY(&rotation, angle);
    D3DXMatrixMultiply(&world, &rotation, &world);
}

void dxBufferColor8::ResetWorld() { D3DXMatrixIdentity(&world); }

dxBufferTextura::dxBufferTextura() : dxBufferColor8(kTexturedFVF, sizeof(TexturedVertex)) {}

bool dxBufferTextura::Holds(PolygonKind kind) const { return IsTexturedKind(kind); }

int32_t dxBufferTextura::Build() {
    if (!dirty) {
        return -1;
    }
    const size_t polygonCount = static_cast<size_t>(GetTriangleCount() + GetQuadCount());
    polygonTextures.clear();
    polygonTextures.reserve(polygonCount);
    polygonFlags.clear();
    polygonFlags.reserve(polygonCount);
    CopyRecords(FirstPolygon(), GetVertexCount(), texturedVertexArray, [this](const dxPoligono& polygon) {
        polygonTextures.push_back(TextureOf(polygon));
        polygonFlags.push_back(BuiltFlags(polygon, true));
    });
    return GetVertexCount() * GetStride();
}

const void* dxBufferTextura::GetVertexData() const {
    return texturedVertexArray.empty() ? nullptr : texturedVertexArray.data();
}

IDirect3DTexture8* dxBufferTextura::GetPolygonTexture(int32_t i) const { return EntryOrDefault(polygonTextures, i); }
