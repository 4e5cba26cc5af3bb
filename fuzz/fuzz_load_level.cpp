// libFuzzer target: any bytes, written to a file, loaded as a level and
// split into meshes. A load may only end in a result or std::bad_alloc.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "level/Lista_Mesh.h"
#include "level/trLevel.h"

// Damaged files may ask for more memory than the machine has; that must be
// reported as std::bad_alloc, not end the process.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

// One scratch file per fuzzing process, removed when the process ends.
struct ScratchFile {
    std::string path = "/tmp/fuzz_load_level-" + std::to_string(getpid()) + ".tr4";
    ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& InputPath() {
    static const ScratchFile scratch;
    return scratch.path;
}

bool WriteInput(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(InputPath().c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!WriteInput(data, size)) return 0;
    Lista_Mesh* meshes = nullptr;
    try {
        trLevel level{};
        LoadLevelFile(InputPath().c_str(), &level);
        ParseMeshes(level.meshData.bytes(), level.meshDataBytes, meshes);
    } catch (const std::bad_alloc&) {
    }
    const std::unique_ptr<Lista_Mesh> owned(meshes);
    return 0;
}
