#include "level/Lista_Mesh.h"

#include "level/ByteCursor.h"
#include "render/dxBuffer.h"

namespace {

template <typename T>
void ReadValue(T& value, ByteCursor& cursor) {
    ReadBytes(&value, sizeof(T), cursor);
}

// Reads count records into array when count is above 0; leaves it empty
// otherwise. A refused read leaves the cursor exhausted, which the caller sees.
template <typename T>
void ReadArray(std::vector<T>& array, int32_t count, ByteCursor& cursor) {
    if (count <= 0) {
        return;
    }
    array.resize(static_cast<size_t>(count));
    ReadBytes(array.data(), static_cast<uint32_t>(static_cast<size_t>(count) * sizeof(T)), cursor);
}

bool CursorExhausted(const ByteCursor& cursor) {
    return cursor.offset > cursor.size;
}

// Reads one record at the cursor. Returns null when the record's data runs
// past the end of the block. A missing filler after complete data is no loss,
// so such a record is kept.
std::unique_ptr<trMesh> ReadMesh(ByteCursor& cursor) {
    const uint32_t start = cursor.offset;
    auto mesh = std::make_unique<trMesh>();
    ReadValue(mesh->centre.x, cursor);
    ReadValue(mesh->centre.y, cursor);
    ReadValue(mesh->centre.z, cursor);
    ReadValue(mesh->radius, cursor);
    ReadValue(mesh->numVertices, cursor);
    ReadArray(mesh->vertices, mesh->numVertices, cursor);
    ReadValue(mesh->numNormals, cursor);
    ReadArray(mesh->normals, mesh->numNormals, cursor);
    ReadArray(mesh->lights, -static_cast<int32_t>(mesh->numNormals), cursor);
    ReadValue(mesh->numTexturedQuads, cursor);
    ReadArray(mesh->texturedQuads, mesh->numTexturedQuads, cursor);
    ReadValue(mesh->numTexturedTriangles, cursor);
    ReadArray(mesh->texturedTriangles, mesh->numTexturedTriangles, cursor);
    if (CursorExhausted(cursor)) {
        return nullptr;
    }
    if (((cursor.offset - start) & 3u) != 0) {
        uint16_t filler = 0;
        ReadValue(filler, cursor);
    }
    return mesh;
}

}  // namespace

Lista_Mesh::Lista_Mesh() = default;

Lista_Mesh::~Lista_Mesh() {
    buffers.clear();
    // Unlinked one node at a time so a long list cannot exhaust the stack.
    while (head) {
        head = std::move(head->next);
    }
    tail = nullptr;
}

void Lista_Mesh::Append(std::unique_ptr<trMesh> mesh) {
    auto node = std::make_unique<MeshNode>();
    node->mesh = std::move(mesh);
    MeshNode* added = node.get();
    if (tail) {
        tail->next = std::move(node);
    } else {
        head = std::move(node);
    }
    tail = added;
    ++count;
}

int Lista_Mesh::GetMesh(int32_t position, trMesh*& out) const {
    if (position < 0) {
        return 0;
    }
    const MeshNode* node = head.get();
    for (int32_t i = 0; node && i < position; ++i) {
        node = node->next.get();
    }
    if (!node) {
        return 0;
    }
    out = node->mesh.get();
    return 1;
}

dxBufferTextura* Lista_Mesh::GetBuffer(int32_t position) const {
    if (position < 0 || static_cast<size_t>(position) >= buffers.size()) {
        return nullptr;
    }
    return buffers[static_cast<size_t>(position)].get();
}

int ParseMeshes(const uint8_t* data, uint32_t byteCount, Lista_Mesh*& list) {
    ByteCursor cursor;
    InitCursor(cursor, byteCount, data);
    if (byteCount == 0 || data == nullptr) {
        return 0;
    }
    // Handed over before any record is read, so the caller owns the list
    // even if reading throws.
    list = new Lista_Mesh();
    while (cursor.offset < byteCount) {
        std::unique_ptr<trMesh> mesh = ReadMesh(cursor);
        if (!mesh) {
            break;
        }
        list->Append(std::move(mesh));
    }
    return 1;
}
