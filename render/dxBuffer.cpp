#include "render/dxBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int32_t kColouredFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
constexpr int32_t kTexturedFVF = D3DFVF_XYZ | D3DFVF_TEX1;
// Most vertices a buffer takes, so that its size in bytes fits Build's result.
constexpr int32_t kMaxVertexCount = INT32_MAX / static_cast<int32_t>(sizeof(TexturedVertex));

// Copies every polygon's records, newest polygon first, into a fresh array
// of vertexCount records, and calls onPolygon(polygon, kind) for each
// polygon. Each polygon is one block copy of its 3 or 4 records.
template <class Record, class OnPolygon>
void CopyRecords(const std::vector<std::unique_ptr<dxPoligono>>& polygons, int32_t vertexCount,
                 RecordArray<Record>& array, OnPolygon onPolygon) {
    const std::size_t count = static_cast<std::size_t>(vertexCount);
    array.records.reset();
    array.records = std::make_unique_for_overwrite<Record[]>(count);
    array.count = count;
    Record* const records = array.records.get();
    std::size_t next = 0;
    for (auto polygon = polygons.rbegin(); polygon != polygons.rend(); ++polygon) {
        const PolygonKind kind = (*polygon)->GetKind();
        const std::size_t recordCount = static_cast<std::size_t>(RecordCountOf(kind));
        if (recordCount > count - next) {
            break;  // the counts are kept in step with the list, so this never happens
        }
        std::memcpy(records + next, (*polygon)->GetVertexData(), recordCount * sizeof(Record));
        next += recordCount;
        onPolygon(**polygon, kind);
    }
    // The array is not zeroed up front; should any record be left unwritten,
    // it reads as zero rather than as old heap.
    std::fill(records + next, records + count, Record{});
}

template <class Entry>
Entry EntryOrDefault(const std::vector<Entry>& entries, int32_t i) {
    if (i < 0 || static_cast<size_t>(i) >= entries.size()) {
        return Entry{};
    }
    return entries[static_cast<size_t>(i)];
}

IDirect3DTexture8* TextureOf(const dxPoligono& polygon, PolygonKind kind) {
    switch (kind) {
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
    // The vertex buffer goes first; the arrays and the polygons follow as
    // members. Destroying a polygon never releases its texture page.
    vertexBuffer.reset();
}

HRESULT dxBufferColor8::AddPolygon(std::unique_ptr<dxPoligono> polygon) {
    if (!polygon) {
        return E_FAIL;
    }
    const PolygonKind kind = polygon->GetKind();
    if (!Holds(kind) || GetVertexCount() > kMaxVertexCount - RecordCountOf(kind)) {
        return E_FAIL;
    }
    // Stored before it is counted: should the list fail to grow, the counts
    // still match the list.
    polygons.push_back(std::move(polygon));
    if (IsQuadKind(kind)) {
        ++quadCount;
    } else {
        ++triangleCount;
    }
    dirty = true;
    return D3D_OK;
}

bool dxBufferColor8::Holds(PolygonKind kind) const { return !IsTexturedKind(kind); }

int32_t dxBufferColor8::BuiltFlags(const dxPoligono& polygon, PolygonKind kind, bool textured) {
    // The quad and textured bits come from the polygon's class alone.
    int32_t flags = polygon.GetFlags() & ~(kPolygonQuad | kPolygonTextured);
    if (IsQuadKind(kind)) {
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
    CopyRecords(Polygons(), GetVertexCount(), vertexArray, [this](const dxPoligono& polygon, PolygonKind kind) {
        polygonFlags.push_back(BuiltFlags(polygon, kind, false));
    });
    return GetVertexCount() * GetStride();
}

const void* dxBufferColor8::GetVertexData() const { return vertexArray.count == 0 ? nullptr : vertexArray.Data(); }

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
    CopyRecords(Polygons(), GetVertexCount(), texturedVertexArray, [this](const dxPoligono& polygon, PolygonKind kind) {
        polygonTextures.push_back(TextureOf(polygon, kind));
        polygonFlags.push_back(BuiltFlags(polygon, kind, true));
    });
    return GetVertexCount() * GetStride();
}

const void* dxBufferTextura::GetVertexData() const {
    return texturedVertexArray.count == 0 ? nullptr : texturedVertexArray.Data();
}

IDirect3DTexture8* dxBufferTextura::GetPolygonTexture(int32_t i) const { return EntryOrDefault(polygonTextures, i); }
