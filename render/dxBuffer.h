// Polygon buffers: the polygons of one drawable object, turned on demand into
// one vertex array, one flags word per polygon and (textured) one texture page
// per polygon, plus the vertex buffer uploaded from them and a world matrix.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/d3d8/d3dx8.h"
#include "render/ComPtr.h"
#include "render/dxPoligono.h"

// Bits of a built polygon's flags word.
constexpr int32_t kPolygonQuad = 0x01;
constexpr int32_t kPolygonWireframe = 0x02;
constexpr int32_t kPolygonCullClockwise = 0x04;
constexpr int32_t kPolygonCullCounterClockwise = 0x08;
constexpr int32_t kPolygonTextured = 0x10;

// Built vertex records: exactly as many as the last build wrote.
template <class Record>
struct RecordArray {
    std::unique_ptr<Record[]> records;
    std::size_t count = 0;

    const void* Data() const { return records.get(); }
};

// Coloured polygons (dxTriangulo, dxCuadrado): format XYZ | DIFFUSE, 16 bytes.
class dxBufferColor8 {
public:
    dxBufferColor8();
    virtual ~dxBufferColor8();
    dxBufferColor8(const dxBufferColor8&) = delete;
    dxBufferColor8& operator=(const dxBufferColor8&) = delete;

    // Rebuilds the arrays from the polygon list when polygons were added
    // since the last upload: returns the size in bytes of the vertex array,
    // or -1 when there is nothing new to build. Polygon 0 of the result is
    // the one added last.
    virtual int32_t Build();
    // The vertex array of the last build, null before the first one.
    virtual const void* GetVertexData() const;
    // Texture page of built polygon i; a coloured buffer has none.
    virtual IDirect3DTexture8* GetPolygonTexture(int32_t i) const;

    // Takes ownership of the polygon and returns 0. A null polygon, or one
    // of a kind this buffer does not hold, is refused with E_FAIL (and
    // destroyed), so that the counts always match what Build copies; so is
    // a polygon that would take the array past 2^31 bytes.
    HRESULT AddPolygon(std::unique_ptr<dxPoligono> polygon);
    // Makes room for this many polygons in all, so that adding them takes no
    // further allocation for the list.
    void ReservePolygons(std::size_t polygonCount) { polygons.reserve(polygonCount); }

    int32_t GetVertexCount() const { return triangleCount * 3 + quadCount * 4; }
    int32_t GetTriangleCount() const { return triangleCount; }
    int32_t GetQuadCount() const { return quadCount; }
    int32_t GetFVF() const { return fvf; }
    int32_t GetStride() const { return stride; }
    bool IsDirty() const { return dirty; }
    void ClearDirty() { dirty = false; }

    IDirect3DVertexBuffer8* GetVertexBuffer() const { return vertexBuffer.get(); }
    // Takes over the reference passed in. A vertex buffer stored earlier is
    // released first, so each stored vertex buffer is released exactly once.
    void SetVertexBuffer(IDirect3DVertexBuffer8* buffer) { vertexBuffer.reset(buffer); }

    // Flags word of built polygon i; 0 outside the range of the last build.
    int32_t GetPolygonFlags(int32_t i) const;
    // Number of polygons in the last build.
    int32_t GetBuiltPolygonCount() const { return static_cast<int32_t>(polygonFlags.size()); }

    // Multiply a translation / a rotation about y into the world matrix, on
    // the left: the transform added last acts on the vertices first.
    int32_t Translate(float x, float y, float z);
    void RotateY(float angle);
    D3DXMATRIX GetWorld() const { return world; }
    void ResetWorld();

protected:
    dxBufferColor8(int32_t fvf, int32_t stride);

    // Whether this buffer holds polygons of the given kind.
    virtual bool Holds(PolygonKind kind) const;
    // The polygons in order of addition; Build walks them from the back, so
    // polygon 0 of the build is the one added last.
    const std::vector<std::unique_ptr<dxPoligono>>& Polygons() const { return polygons; }
    // Flags word of a polygon of the given kind as built: its drawing bits,
    // the quad bit from its kind, and the textured bit when asked for.
    static int32_t BuiltFlags(const dxPoligono& polygon, PolygonKind kind, bool textured);

    std::vector<int32_t> polygonFlags;
    bool dirty = false;

private:
    RecordArray<ColouredVertex> vertexArray;
    ComPtr<IDirect3DVertexBuffer8> vertexBuffer;
    int32_t triangleCount = 0;
    int32_t quadCount = 0;
    std::vector<std::unique_ptr<dxPoligono>> polygons;
    int32_t fvf;
    int32_t stride;
    D3DXMATRIX world;
};

// Textured polygons (dxTrianguloTex, dxCuadradoTex): format XYZ | TEX1, 20
// bytes. The texture pages are not owned.
class dxBufferTextura : public dxBufferColor8 {
public:
    dxBufferTextura();

    int32_t Build() override;
    const void* GetVertexData() const override;
    // Texture page of built polygon i; null outside the range of the last build.
    IDirect3DTexture8* GetPolygonTexture(int32_t i) const override;

protected:
    bool Holds(PolygonKind kind) const override;

private:
    RecordArray<TexturedVertex> texturedVertexArray;
    std::vector<IDirect3DTexture8*> polygonTextures;
};
