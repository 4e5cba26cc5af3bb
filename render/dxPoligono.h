// Triangles and quads held as fixed blocks of Direct3D vertex records, ready
// to be copied as one block into a polygon buffer's vertex array.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/d3d8/d3d8.h"

// Position and diffuse colour (D3DFVF_XYZ | D3DFVF_DIFFUSE).
struct ColouredVertex {
    float x, y, z;
    D3DCOLOR colour;
};

// Position and one texture coordinate pair (D3DFVF_XYZ | D3DFVF_TEX1).
struct TexturedVertex {
    float x, y, z;
    float u, v;
};

static_assert(sizeof(ColouredVertex) == 16);
static_assert(offsetof(ColouredVertex, x) == 0 && offsetof(ColouredVertex, y) == 4 &&
              offsetof(ColouredVertex, z) == 8 && offsetof(ColouredVertex, colour) == 12);
static_assert(sizeof(TexturedVertex) == 20);
static_assert(offsetof(TexturedVertex, x) == 0 && offsetof(TexturedVertex, y) == 4 &&
              offsetof(TexturedVertex, z) == 8 && offsetof(TexturedVertex, u) == 12 &&
              offsetof(TexturedVertex, v) == 16);

// The concrete polygon classes, told apart exactly (a textured triangle is
// also a dxTriangulo by inheritance, but never the same kind).
enum class PolygonKind { Triangle, Quad, TexturedTriangle, TexturedQuad };

constexpr bool IsQuadKind(PolygonKind kind) { return kind == PolygonKind::Quad || kind == PolygonKind::TexturedQuad; }
constexpr bool IsTexturedKind(PolygonKind kind) {
    return kind == PolygonKind::TexturedTriangle || kind == PolygonKind::TexturedQuad;
}
// Vertex records a polygon of this kind holds: 3 or 4.
constexpr int RecordCountOf(PolygonKind kind) { return IsQuadKind(kind) ? 4 : 3; }

class dxPoligono {
public:
    virtual ~dxPoligono();
    dxPoligono(const dxPoligono&) = delete;
    dxPoligono& operator=(const dxPoligono&) = delete;

    // First vertex record of the polygon's own record kind: ColouredVertex
    // for the coloured classes, TexturedVertex for the textured ones.
    virtual void* GetVertexData() = 0;
    // Stores the position of the next vertex; E_FAIL once the polygon is full.
    virtual HRESULT AddVertex(float x, float y, float z) = 0;
    virtual PolygonKind GetKind() const = 0;

    int32_t GetFlags() const { return flags; }
    // Vertices added so far.
    int32_t GetVertexCount() const { return vertexCount; }

protected:
    dxPoligono(int32_t flags, int32_t maxIndex) : flags(flags), maxIndex(maxIndex) {}

    // Writes the position into records[vertexCount] and counts it, or fails
    // when all maxIndex + 1 records have a position.
    template <class Record>
    HRESULT StorePosition(Record* records, float x, float y, float z) {
        if (vertexCount > maxIndex) {
            return E_FAIL;
        }
        Record& record = records[vertexCount];
        record.x = x;
        record.y = y;
        record.z = z;
        ++vertexCount;
        return D3D_OK;
    }

    // Stores the page and one (u, v) pair per record, whatever the positions;
    // a null page stores nothing and fails.
    template <int Count>
    static HRESULT StoreTextureCoords(IDirect3DTexture8*& storedPage, TexturedVertex* records,
                                      IDirect3DTexture8* page, const float (&uv)[Count][2]) {
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

private:
    int32_t flags;
    int32_t vertexCount = 0;
    int32_t maxIndex;
};

// Record storage of a triangle (3) or a quad (4). A coloured polygon uses the
// coloured records; its textured subclass uses the same storage as textured
// records, so a textured polygon carries no unused coloured records. Each
// object only ever touches the member it was constructed with.
template <int Count>
union PolygonRecords {
    ColouredVertex coloured[Count];
    TexturedVertex textured[Count];
};

// Selects the textured records in the constructors of the coloured classes.
struct TexturedRecordsTag {};

class dxTriangulo : public dxPoligono {
public:
    explicit dxTriangulo(int32_t flags) : dxPoligono(flags, 2), records{.coloured = {}} {}

    void* GetVertexData() override { return records.coloured; }
    HRESULT AddVertex(float x, float y, float z) override { return StorePosition(records.coloured, x, y, z); }
    PolygonKind GetKind() const override { return PolygonKind::Triangle; }

protected:
    dxTriangulo(int32_t flags, TexturedRecordsTag) : dxPoligono(flags, 2), records{.textured = {}} {}
    TexturedVertex* TexturedRecords() { return records.textured; }

private:
    PolygonRecords<3> records;
};

class dxCuadrado : public dxPoligono {
public:
    explicit dxCuadrado(int32_t flags) : dxPoligono(flags, 3), records{.coloured = {}} {}

    void* GetVertexData() override { return records.coloured; }
    HRESULT AddVertex(float x, float y, float z) override { return StorePosition(records.coloured, x, y, z); }
    PolygonKind GetKind() const override { return PolygonKind::Quad; }

protected:
    dxCuadrado(int32_t flags, TexturedRecordsTag) : dxPoligono(flags, 3), records{.textured = {}} {}
    TexturedVertex* TexturedRecords() { return records.textured; }

private:
    PolygonRecords<4> records;
};

// A texture page is shared by many polygons and owned by the page set: the
// polygon keeps a plain pointer and takes no reference.
class dxTrianguloTex final : public dxTriangulo {
public:
    explicit dxTrianguloTex(int32_t flags) : dxTriangulo(flags, TexturedRecordsTag{}) {}

    void* GetVertexData() override { return TexturedRecords(); }
    HRESULT AddVertex(float x, float y, float z) override { return StorePosition(TexturedRecords(), x, y, z); }
    PolygonKind GetKind() const override { return PolygonKind::TexturedTriangle; }

    // One (u, v) pair per record in record order; E_FAIL for a null page.
    HRESULT SetTextureCoords(IDirect3DTexture8* page, float u0, float v0, float u1, float v1, float u2, float v2) {
        const float uv[3][2] = {{u0, v0}, {u1, v1}, {u2, v2}};
        return StoreTextureCoords(texturePage, TexturedRecords(), page, uv);
    }
    IDirect3DTexture8* GetTexture() const { return texturePage; }

private:
    IDirect3DTexture8* texturePage = nullptr;
};

class dxCuadradoTex final : public dxCuadrado {
public:
    explicit dxCuadradoTex(int32_t flags) : dxCuadrado(flags, TexturedRecordsTag{}) {}

    void* GetVertexData() override { return TexturedRecords(); }
    HRESULT AddVertex(float x, float y, float z) override { return StorePosition(TexturedRecords(), x, y, z); }
    PolygonKind GetKind() const override { return PolygonKind::TexturedQuad; }

    // One (u, v) pair per record in record order; E_FAIL for a null page.
    HRESULT SetTextureCoords(IDirect3DTexture8* page, float u0, float v0, float u1, float v1, float u2, float v2,
                             float u3, float v3) {
        const float uv[4][2] = {{u0, v0}, {u1, v1}, {u2, v2}, {u3, v3}};
        return StoreTextureCoords(texturePage, TexturedRecords(), page, uv);
    }
    IDirect3DTexture8* GetTexture() const { return texturePage; }

private:
    IDirect3DTexture8* texturePage = nullptr;
};
