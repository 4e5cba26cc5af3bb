// Opening a large level, from file to uploaded buffers on the software
// device, against inflating its four chunks alone with zlib.
//
// The level: 64 texture pages whose tiles mix gradients, patterns and noise
// so that they compress about as real textures do, and 5,000 meshes of 40
// faces each (200,000 faces). The run prints the tiles' compression ratio
// and the ratio of the open time to the inflate time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <zlib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "geometry/OpenLevel.h"
#include "level/Lista_Mesh.h"
#include "level/trLevel.h"
#include "level/trTextura.h"
#include "level/writer/LevelWriter.h"
#include "render/dxDevice8.h"

namespace {

constexpr int kPages = 64;
constexpr int kMeshes = 5000;
constexpr int kQuadsPerMesh = 20;
constexpr int kTrianglesPerMesh = 20;
constexpr int kVerticesPerMesh = 24;
constexpr int kObjectTextures = 512;

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 374761393u + b * 668265263u + c * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// A page-specific picture: a diagonal gradient, one of four patterns
// (bricks, stripes, rings, checks) and a few bits of per-pixel noise.
uint32_t TexturePixel(int page, int x, int y) {
    const int hue = page * 37;
    int shade = (x + y) / 4;
    switch (page % 4) {
        case 0:
            shade += ((y % 32) < 2 || ((x + (y / 32) * 16) % 32) < 2) ? -60 : 0;
            break;
        case 1:
            shade += ((x / 8) % 2) * 25;
            break;
        case 2:
            shade += static_cast<int>(20.0 * std::sin(std::hypot(x - 128, y - 128) / 6.0));
            break;
        default:
            shade += (((x / 16) + (y / 16)) % 2) * 30;
            break;
    }
    const uint32_t noise = Hash(static_cast<uint32_t>(page), static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    auto channel = [&](int base, int shift) {
        const int value = base + shade + static_cast<int>((noise >> shift) & 0x01);
        return static_cast<uint32_t>(value < 0 ? 0 : value > 255 ? 255 : value);
    };
    return 0xFF000000u | channel(hue % 128 + 40, 0) << 16 | channel((hue / 2) % 128 + 30, 4) << 8 |
           channel((hue / 3) % 128 + 20, 8);
}

uint16_t ToR5G6B5(uint32_t argb) {
    return static_cast<uint16_t>(((argb >> 19) & 0x1F) << 11 | ((argb >> 10) & 0x3F) << 5 | ((argb >> 3) & 0x1F));
}

MeshDescription BenchMesh(int index) {
    MeshDescription mesh;
    mesh.centre = {static_cast<int16_t>(index % 100 * 10), static_cast<int16_t>(-(index / 100) * 10), 0};
    mesh.radius = 300;
    for (int v = 0; v < kVerticesPerMesh; ++v) {
        const uint32_t h = Hash(static_cast<uint32_t>(index), static_cast<uint32_t>(v), 7);
        mesh.vertices.push_back({static_cast<int16_t>(h % 512) , static_cast<int16_t>((h >> 9) % 512),
                                 static_cast<int16_t>((h >> 18) % 512)});
    }
    mesh.lights = std::vector<int16_t>(kVerticesPerMesh, 4000);
    auto vertex = [](int base, int step) { return static_cast<uint16_t>((base + step) % kVerticesPerMesh); };
    auto texture = [index](int face) { return static_cast<uint16_t>((index * 41 + face) % kObjectTextures); };
    for (int q = 0; q < kQuadsPerMesh; ++q) {
        mesh.quads.push_back({{vertex(q, 0), vertex(q, 1), vertex(q, 5), vertex(q, 4)}, texture(q)});
    }
    for (int t = 0; t < kTrianglesPerMesh; ++t) {
        mesh.triangles.push_back({{vertex(t, 0), vertex(t, 2), vertex(t, 7)}, texture(t + kQuadsPerMesh)});
    }
    return mesh;
}

LevelDescription BenchLevel() {
    LevelDescription level;
    for (int page = 0; page < kPages; ++page) {
        AppendTile(level.textiles32, 4, [page](int x, int y) { return TexturePixel(page, x, y); });
        AppendTile(level.textiles16, 2, [page](int x, int y) { return ToR5G6B5(TexturePixel(page, x, y)); });
    }
    for (int i = 0; i < kObjectTextures; ++i) {
        ObjectTextureDescription texture;
        texture.tile = static_cast<uint16_t>(i % kPages);
        const uint8_t left = static_cast<uint8_t>((i * 64) % 256);
        const uint8_t top = static_cast<uint8_t>((i / 4 * 64) % 256);
        texture.corners = {{{0, left, 0, top}, {0, static_cast<uint8_t>(left + 63), 0, top},
                            {0, static_cast<uint8_t>(left + 63), 0, static_cast<uint8_t>(top + 63)},
                            {0, left, 0, static_cast<uint8_t>(top + 63)}}};
        level.objectTextures.push_back(texture);
    }
    for (int i = 0; i < kMeshes; ++i) {
        level.meshes.push_back(BenchMesh(i));
    }
    return level;
}

// The level written once to a temporary file, with its chunk streams.
struct WrittenLevel {
    std::vector<uint8_t> image;
    std::unique_ptr<TemporaryFile> file;
    std::array<uint32_t, 4> inflatedSize{};
    std::array<std::vector<uint8_t>, 4> streams;
    double tileRatio = 0.0;
};

uint32_t ReadLong(const std::vector<uint8_t>& bytes, std::size_t offset) {
    return uint32_t{bytes[offset]} | uint32_t{bytes[offset + 1]} << 8 | uint32_t{bytes[offset + 2]} << 16 |
           uint32_t{bytes[offset + 3]} << 24;
}

const WrittenLevel& TheLevel() {
    static const WrittenLevel written = [] {
        const LevelDescription description = BenchLevel();
        WrittenLevel level;
        level.image = WriteLevelFile(description);
        level.file = std::make_unique<TemporaryFile>(level.image);
        const LevelFileLayout layout = DescribeLevelFile(description);
        for (std::size_t chunk = 0; chunk < 4; ++chunk) {
            level.inflatedSize[chunk] = ReadLong(level.image, layout.chunkHeader[chunk]);
            const uint32_t packed = ReadLong(level.image, layout.chunkHeader[chunk] + 4);
            const auto first = level.image.begin() + static_cast<std::ptrdiff_t>(layout.chunkData[chunk]);
            level.streams[chunk].assign(first, first + packed);
        }
        const double raw = double(level.inflatedSize[0]) + level.inflatedSize[1];
        level.tileRatio = raw / double(level.streams[0].size() + level.streams[1].size());
        std::printf("level: %zu bytes on disk; tiles %.0f bytes raw, compression %.2f : 1; level data %u bytes\n",
                    level.image.size(), raw, level.tileRatio, level.inflatedSize[3]);
        return level;
    }();
    return written;
}

// Page faults the process has taken so far. Touching fresh memory costs a
// fault per page, which on some virtual machines outweighs the work done.
double PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

void BM_OpenLevel(benchmark::State& state) {
    const WrittenLevel& written = TheLevel();
    OffscreenViewer panel(kViewerPanelWidth, kViewerPanelHeight);
    if (!panel.device) {
        state.SkipWithError("no software Direct3D device");
        return;
    }
    dxDevice8* device = panel.device.get();
    int32_t meshes = 0;
    double faults = 0.0;
    for (auto _ : state) {
        const double faultsBefore = PageFaults();
        auto level = std::make_unique<trLevel>();
        std::optional<OpenedLevel> opened = OpenLevel(written.file->c_str(), *level, device, PageDepth::Bits32);
        meshes = opened && opened->meshList ? opened->meshList->GetCount() : 0;
        benchmark::DoNotOptimize(opened);
        faults += PageFaults() - faultsBefore;
        // Releasing the level is not part of opening it.
        state.PauseTiming();
        opened.reset();
        level.reset();
        state.ResumeTiming();
    }
    state.counters["meshes"] = meshes;
    state.counters["page_faults"] = faults / static_cast<double>(state.iterations());
    state.counters["tile_ratio"] = written.tileRatio;
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written.image.size()));
}

void BM_InflateOnly(benchmark::State& state) {
    const WrittenLevel& written = TheLevel();
    for (auto _ : state) {
        for (std::size_t chunk = 0; chunk < 4; ++chunk) {
            const uint32_t size = written.inflatedSize[chunk];
            std::unique_ptr<Bytef[]> out(new Bytef[size == 0 ? 1 : size]);
            uLongf produced = size;
            uncompress(out.get(), &produced, written.streams[chunk].data(),
                       static_cast<uLong>(written.streams[chunk].size()));
            benchmark::DoNotOptimize(out.get());
        }
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(written.image.size()));
}

// The open path stage by stage, each stage's mean time (ms) and page faults
// as counters: where the time of BM_OpenLevel goes.
void BM_OpenStages(benchmark::State& state) {
    const WrittenLevel& written = TheLevel();
    OffscreenViewer panel(kViewerPanelWidth, kViewerPanelHeight);
    if (!panel.device) {
        state.SkipWithError("no software Direct3D device");
        return;
    }
    dxDevice8* device = panel.device.get();
    using Clock = std::chrono::steady_clock;
    enum Stage { kLoad, kParseMeshes, kPages, kBuffers, kRelease, kStageCount };
    constexpr const char* kNames[kStageCount] = {"load_ms", "parse_meshes_ms", "pages_ms", "buffers_ms",
                                                 "release_ms"};
    constexpr const char* kFaultNames[kStageCount] = {"load_faults", "parse_meshes_faults", "pages_faults",
                                                      "buffers_faults", "release_faults"};
    std::array<double, kStageCount> total{};
    std::array<double, kStageCount> faults{};
    for (auto _ : state) {
        Clock::time_point mark = Clock::now();
        double faultMark = PageFaults();
        auto lap = [&](Stage stage) {
            const Clock::time_point now = Clock::now();
            const double faultNow = PageFaults();
            total[stage] += std::chrono::duration<double, std::milli>(now - mark).count();
            faults[stage] += faultNow - faultMark;
            mark = now;
            faultMark = faultNow;
        };
        auto level = std::make_unique<trLevel>();
        LoadLevelFile(written.file->c_str(), level.get());
        lap(kLoad);
        Lista_Mesh* parsed = nullptr;
        ParseMeshes(level->meshData.bytes(), level->meshDataBytes, parsed);
        std::unique_ptr<Lista_Mesh> meshList(parsed);
        lap(kParseMeshes);
        auto textures = std::make_unique<trTextura>(level.get());
        textures->CreatePages32(device);
        lap(kPages);
        meshList->BuildBuffers(device, textures.get(), *level);
        lap(kBuffers);
        meshList.reset();
        textures.reset();
        level.reset();
        lap(kRelease);
    }
    for (int stage = 0; stage < kStageCount; ++stage) {
        state.counters[kNames[stage]] = total[stage] / static_cast<double>(state.iterations());
        state.counters[kFaultNames[stage]] = faults[stage] / static_cast<double>(state.iterations());
    }
}

BENCHMARK(BM_OpenLevel)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_InflateOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OpenStages)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the open / inflate ratio once both have run, from the mean of the
// repetitions when there are several. Real time is what the user waits;
// CPU time is steadier on a busy machine, so both are shown.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (run.run_type == Run::RT_Iteration || mean) {
                Times& entry = times[run.run_name.function_name];
                if (mean || !entry.fromMean) {
                    entry = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime(), mean};
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio() const {
        const auto open = times.find("BM_OpenLevel");
        const auto inflate = times.find("BM_InflateOnly");
        if (open != times.end() && inflate != times.end() && inflate->second.real > 0.0 &&
            inflate->second.cpu > 0.0) {
            std::printf("open / inflate: %.2f real, %.2f CPU (target 1.30 or less)\n",
                        open->second.real / inflate->second.real, open->second.cpu / inflate->second.cpu);
        }
    }

private:
    struct Times {
        double real = 0.0;
        double cpu = 0.0;
        bool fromMean = false;
    };
    std::map<std::string, Times> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
