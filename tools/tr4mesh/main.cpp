// tr4mesh: a command-line look into Tomb Raider 4 level files.
//   tr4mesh info FILE [--json]
//   tr4mesh render FILE --mesh N --out PNG [--size WxH] [--frames K] [--16bit]
#include <charconv>
#include <iostream>
#include <new>
#include <string>

#include <CLI/CLI.hpp>

#include "tools/tr4mesh/Commands.h"

namespace {

constexpr int kMaxImageSide = 4096;
constexpr int kMaxFrames = 1000000;

// Parses "WxH" with both sides in 1..kMaxImageSide; false otherwise.
bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t cross = text.find('x');
    if (cross == std::string::npos) {
        return false;
    }
    auto parseSide = [](const char* first, const char* last, int& side) {
        const auto [end, error] = std::from_chars(first, last, side);
        return error == std::errc() && end == last && first != last && side >= 1 && side <= kMaxImageSide;
    };
    const char* begin = text.data();
    return parseSide(begin, begin + cross, width) && parseSide(begin + cross + 1, begin + text.size(), height);
}

const CLI::Validator kSizeValidator(
    [](std::string& text) {
        int width = 0;
        int height = 0;
        return ParseSize(text, width, height)
                   ? std::string()
                   : "size must be WxH with each side from 1 to " + std::to_string(kMaxImageSide) + ", got '" +
                         text + "'";
    },
    "WxH");

void AddInfo(CLI::App& app, InfoOptions& options) {
    CLI::App* info = app.add_subcommand(
        "info", "List the container fields, every count of the level data, the texture page count and each "
                "mesh's centre, radius and counts.");
    info->add_option("FILE", options.file, "Level file (.tr4)")->required();
    info->add_flag("--json", options.json, "Write one JSON object instead of text");
}

void AddRender(CLI::App& app, RenderOptions& options, std::string& size) {
    CLI::App* render = app.add_subcommand(
        "render", "Render one mesh as the viewer's 3D panel shows it after K frames (same camera, projection, "
                  "spin and magenta background) and write the picture as a PNG.");
    render->add_option("FILE", options.file, "Level file (.tr4)")->required();
    render->add_option("--mesh", options.mesh, "Number of the mesh, from 0")->required();
    render->add_option("--out", options.out, "PNG file to write")->required();
    render->add_option("--size", size, "Picture size (default: the viewer's panel, 337x377)")
        ->check(kSizeValidator);
    render->add_option("--frames", options.frames, "Frames to run before the picture is taken (default 1)")
        ->check(CLI::Range(1, kMaxFrames));
    render->add_flag("--16bit", options.sixteenBit,
                     "Make the adapter refuse 32-bit textures, so the 16-bit pages are used");
}

int Fail(const std::string& message, int code) {
    std::cerr << "tr4mesh: " << message << '\n';
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("Lists and renders the meshes of Tomb Raider 4 level files (.tr4).", "tr4mesh");
    app.footer(
        "Exit status: 0 done; 1 failed (file cannot be opened, mesh out of range, out of memory, picture not "
        "written); 2 bad arguments; 3 done on what could be read of a damaged file.\n"
        "Run 'tr4mesh COMMAND --help' for the options of a command.");
    // At most one command; a missing one is reported below, so that an
    // unknown word is named as such rather than as a missing command.
    app.require_subcommand(0, 1);
    InfoOptions info;
    RenderOptions render;
    std::string size;
    AddInfo(app, info);
    AddRender(app, render, size);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        return Fail(std::string(error.what()) + " (run tr4mesh --help)", kExitUsage);
    }
    if (app.get_subcommands().empty()) {
        return Fail("a command is required: info or render (run tr4mesh --help)", kExitUsage);
    }

    try {
        if (app.got_subcommand("info")) {
            return RunInfo(info);
        }
        if (!size.empty()) {
            ParseSize(size, render.width, render.height);
        }
        return RunRender(render);
    } catch (const ToolError& error) {
        return Fail(error.what(), kExitFailure);
    } catch (const std::bad_alloc&) {
        const std::string& file = app.got_subcommand("info") ? info.file : render.file;
        return Fail("out of memory reading " + file + ": it declares more data than can be held", kExitFailure);
    } catch (const std::exception& error) {
        return Fail(error.what(), kExitFailure);
    }
}
