// The meshes of a level, split out of its mesh-data block, in block order.
// A mesh's position in the list is its number everywhere else.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class dxBufferTextura;
class dxDevice8;
class trTextura;
struct trLevel;

struct trMeshVertex {
    int16_t x, y, z;
};

struct trMeshNormal {
    int16_t x, y, z;
};

struct trTexturedQuad {
    uint16_t indices[4];  // into the mesh's vertices, in order around the quad
    uint16_t texture;     // into the level's object textures, all 16 bits
    uint16_t effects;
};

struct trTexturedTriangle {
    uint16_t indices[3];
    uint16_t texture;
    uint16_t effects;
};

// The records are copied straight from the little-endian block.
static_assert(sizeof(trMeshVertex) == 6);
static_assert(sizeof(trMeshNormal) == 6);
static_assert(sizeof(trTexturedQuad) == 12);
static_assert(sizeof(trTexturedTriangle) == 10);

struct trMeshCentre {
    int16_t x, y, z;
};

// One mesh record. Each array holds exactly its count of entries when the
// count is above 0 and is empty otherwise; a negative numNormals means
// -numNormals light values instead of normals.
struct trMesh {
    trMeshCentre centre{};
    uint32_t radius = 0;
    int16_t numVertices = 0;
    std::vector<trMeshVertex> vertices;
    int16_t numNormals = 0;
    std::vector<trMeshNormal> normals;
    std::vector<uint16_t> lights;
    int16_t numTexturedQuads = 0;
    std::vector<trTexturedQuad> texturedQuads;
    int16_t numTexturedTriangles = 0;
    std::vector<trTexturedTriangle> texturedTriangles;
};

struct MeshNode {
    std::unique_ptr<trMesh> mesh;
    std::unique_ptr<MeshNode> next;
};

class Lista_Mesh {
public:
    Lista_Mesh();
    // Destroys the buffers (with their polygons and vertex buffers), then the
    // meshes. Never touches texture pages.
    ~Lista_Mesh();
    Lista_Mesh(const Lista_Mesh&) = delete;
    Lista_Mesh& operator=(const Lista_Mesh&) = delete;

    // Puts the mesh after the last one; the list takes ownership.
    void Append(std::unique_ptr<trMesh> mesh);

    // Stores the mesh at position in out and returns 1; returns 0 and leaves
    // out unchanged when there is no such position.
    int GetMesh(int32_t position, trMesh*& out) const;

    int32_t GetCount() const { return count; }

    // The buffer of the mesh at position; null before BuildBuffers or for a
    // position outside 0..count-1.
    dxBufferTextura* GetBuffer(int32_t position) const;

    // Makes one uploaded textured buffer per mesh. Defined by the geometry
    // library: only code linking it may call this.
    int BuildBuffers(dxDevice8* device, trTextura* textures, const trLevel& level);

private:
    std::unique_ptr<MeshNode> head;
    MeshNode* tail = nullptr;
    int32_t count = 0;
    // Empty until BuildBuffers; then one entry per mesh.
    std::vector<std::unique_ptr<dxBufferTextura>> buffers;
};

// Splits a mesh-data block of byteCount bytes into a new list stored in list.
// Returns 0, creating nothing, when byteCount is 0 (or data is null);
// otherwise 1. A last record that does not fit in the block is dropped and
// nothing outside the block is read.
int ParseMeshes(const uint8_t* data, uint32_t byteCount, Lista_Mesh*& list);
