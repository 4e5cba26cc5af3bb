// Mesh to textured polygons: one uploaded dxBufferTextura per mesh, its
// quads and triangles taking positions from the mesh and texture coordinates
// and pages from the level's object textures.
#include <array>
#include <cstddef>
#include <memory>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "render/dxBuffer.h"
#include "render/dxDevice8.h"
#include "render/dxPoligono.h"

namespace {

// How one kind of face becomes a polygon. Records are filled from the face
// corners in recordOrder: a quad is drawn as a two-triangle strip, so its
// corners go in as 0, 1, 3, 2.
template <std::size_t Corners>
struct FaceConversion {
    int32_t flags;        // drawing bits of the polygon
    uint16_t pageMask;    // bits of the object texture's tile that name the page
    std::array<int, Corners> recordOrder;
};

constexpr FaceConversion<4> kQuadConversion{0, 0xFFFF, {0, 1, 3, 2}};
constexpr FaceConversion<3> kTriangleConversion{kPolygonCullCounterClockwise, 0x7FFF, {0, 1, 2}};

struct TexCoord {
    float u, v;
};

// Pixel positions 0..255 become exact fractions of the page.
TexCoord CornerCoord(const trObjectTextureCorner& corner) {
    constexpr float kPageSide = 256.0f;
    return {static_cast<float>(corner.xPixel) / kPageSide, static_cast<float>(corner.yPixel) / kPageSide};
}

// Level y points down: it is negated on the integer, so -32768 stays exact.
// Called on the concrete (final) polygon class, so the call is direct.
template <class Polygon>
void AddPosition(Polygon& polygon, const trMeshVertex& vertex) {
    polygon.AddVertex(static_cast<float>(vertex.x), static_cast<float>(-static_cast<int32_t>(vertex.y)),
                      static_cast<float>(vertex.z));
}

void ApplyCoords(dxCuadradoTex& polygon, IDirect3DTexture8* page, const std::array<TexCoord, 4>& c) {
    polygon.SetTextureCoords(page, c[0].u, c[0].v, c[1].u, c[1].v, c[2].u, c[2].v, c[3].u, c[3].v);
}

void ApplyCoords(dxTrianguloTex& polygon, IDirect3DTexture8* page, const std::array<TexCoord, 3>& c) {
    polygon.SetTextureCoords(page, c[0].u, c[0].v, c[1].u, c[1].v, c[2].u, c[2].v);
}

const trObjectTexture* FindObjectTexture(uint16_t texture, const trLevel& level) {
    if (texture >= level.numObjectTextures || texture >= level.objectTextures.size()) {
        return nullptr;
    }
    return &level.objectTextures[texture];
}

template <std::size_t Corners>
bool IndicesInRange(const uint16_t (&indices)[Corners], const trMesh& mesh) {
    for (uint16_t index : indices) {
        if (index >= mesh.vertices.size()) {
            return false;
        }
    }
    return true;
}

// Null when there is no page set or no such page: the face is then built
// without a texture.
IDirect3DTexture8* FindPage(const trTextura* textures, uint16_t page) {
    if (textures == nullptr) {
        return nullptr;
    }
    return textures->Is32Bit() ? textures->GetPage32(page) : textures->GetPage16(page);
}

// The polygon of one face, or null for a face whose vertex index or object
// texture is out of range (it is skipped rather than read outside an array).
template <class Polygon, class Face, std::size_t Corners>
std::unique_ptr<Polygon> ConvertFace(const Face& face, const FaceConversion<Corners>& conversion, const trMesh& mesh,
                                     const trLevel& level, const trTextura* textures) {
    const trObjectTexture* objectTexture = FindObjectTexture(face.texture, level);
    if (objectTexture == nullptr || !IndicesInRange(face.indices, mesh)) {
        return nullptr;
    }
    auto polygon = std::make_unique<Polygon>(conversion.flags);
    IDirect3DTexture8* page = FindPage(textures, objectTexture->tile & conversion.pageMask);
    if (page != nullptr) {
        std::array<TexCoord, Corners> coords;
        for (std::size_t record = 0; record < Corners; ++record) {
            coords[record] = CornerCoord(objectTexture->corners[conversion.recordOrder[record]]);
        }
        ApplyCoords(*polygon, page, coords);
    }
    for (int corner : conversion.recordOrder) {
        AddPosition(*polygon, mesh.vertices[face.indices[corner]]);
    }
    return polygon;
}

template <class Polygon, class Face, std::size_t Corners>
void AddFaces(dxBufferTextura& buffer, const std::vector<Face>& faces, const FaceConversion<Corners>& conversion,
              const trMesh& mesh, const trLevel& level, const trTextura* textures) {
    for (const Face& face : faces) {
        if (auto polygon = ConvertFace<Polygon>(face, conversion, mesh, level, textures)) {
            buffer.AddPolygon(std::move(polygon));
        }
    }
}

// All quads first, then all triangles, each in record order.
void FillBuffer(dxBufferTextura& buffer, const trMesh& mesh, const trLevel& level, const trTextura* textures) {
    buffer.ReservePolygons(mesh.texturedQuads.size() + mesh.texturedTriangles.size());
    AddFaces<dxCuadradoTex>(buffer, mesh.texturedQuads, kQuadConversion, mesh, level, textures);
    AddFaces<dxTrianguloTex>(buffer, mesh.texturedTriangles, kTriangleConversion, mesh, level, textures);
}

}  // namespace

int Lista_Mesh::BuildBuffers(dxDevice8* device, trTextura* textures, const trLevel& level) {
    if (count < 1) {
        return E_FAIL;
    }
    buffers.clear();
    buffers.reserve(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        buffers.push_back(std::make_unique<dxBufferTextura>());
    }
    std::size_t position = 0;
    for (const MeshNode* node = head.get(); node != nullptr; node = node->next.get(), ++position) {
        FillBuffer(*buffers[position], *node->mesh, level, textures);
        // A mesh without faces leaves an empty buffer whose upload fails;
        // it simply draws nothing.
        if (device != nullptr) {
            device->UploadBuffer(buffers[position].get());
        }
    }
    return 0;
}
