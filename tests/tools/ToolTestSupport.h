// Runs the command-line tools as separate processes and builds the small
// levels the tool tests read.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "level/writer/LevelWriter.h"

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    // The lines written on stderr (a final newline ends the last one).
    std::vector<std::string> ErrorLines() const {
        std::vector<std::string> lines;
        std::istringstream stream(err);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A directory of its own for one test, removed with the object.
class ScratchDirectory {
public:
    ScratchDirectory() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tr4tools-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string path = File(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

private:
    std::filesystem::path path_;
};

// Runs program with args (each passed as one word), optionally after a
// shell prefix such as a ulimit, and collects its exit code and output.
inline ToolRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& shellPrefix = "") {
    ScratchDirectory scratch;
    std::string command = shellPrefix + " exec " + ShellQuoted(program);
    for (const std::string& arg : args) {
        command += " " + ShellQuoted(arg);
    }
    command += " >" + ShellQuoted(scratch.File("out")) + " 2>" + ShellQuoted(scratch.File("err"));
    const int status = std::system(("/bin/sh -c " + ShellQuoted(command)).c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    run.out = ReadWholeFile(scratch.File("out"));
    run.err = ReadWholeFile(scratch.File("err"));
    return run;
}

inline ToolRun RunTr4mesh(const std::vector<std::string>& args, const std::string& shellPrefix = "") {
    return RunProgram(TR4MESH_PATH, args, shellPrefix);
}

// Colours of the fixture tiles, as the pages hold them.
constexpr uint32_t kGreen32 = 0xFF20C040;  // A8R8G8B8
constexpr uint16_t kBlue16 = 0x001F;       // R5G6B5 pure blue
constexpr uint32_t kMagenta = 0xFFFF00FF;

// A square of 2 * half units facing the viewer's camera (+z on screen),
// textured with the whole of page 0.
inline MeshDescription FacingSquare(int16_t half, ShortVector centre = {}) {
    MeshDescription mesh;
    mesh.centre = centre;
    mesh.radius = static_cast<uint32_t>(half) * 3 / 2;
    mesh.vertices = {{static_cast<int16_t>(-half), static_cast<int16_t>(-half), 0},
                     {half, static_cast<int16_t>(-half), 0},
                     {half, half, 0},
                     {static_cast<int16_t>(-half), half, 0}};
    mesh.quads = {{{0, 1, 2, 3}, 0}};
    return mesh;
}

// One page, green in its 32-bit tile and blue in its 16-bit tile, so a
// picture tells which set was used; one object texture over the whole page.
inline LevelDescription OnePageLevel() {
    LevelDescription level;
    AppendSolidTile(level.textiles32, 4, kGreen32);
    AppendSolidTile(level.textiles16, 2, kBlue16);
    ObjectTextureDescription whole;
    whole.corners = {{{0, 0, 0, 0}, {0, 255, 0, 0}, {0, 255, 0, 255}, {0, 0, 0, 255}}};
    level.objectTextures.push_back(whole);
    return level;
}
