#include "tools/tr4demo/DemoTextures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "level/writer/LevelWriter.h"

namespace {

struct Rgb {
    int r, g, b;
};

uint32_t Pack(Rgb c) {
    auto clamp = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return 0xFF000000u | clamp(c.r) << 16 | clamp(c.g) << 8 | clamp(c.b);
}

Rgb Shade(Rgb c, int delta) { return {c.r + delta, c.g + delta, c.b + delta}; }

// Repeatable per-pixel noise in -amplitude..amplitude.
int Noise(int x, int y, int amplitude) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h >> 16) % static_cast<uint32_t>(2 * amplitude + 1)) - amplitude;
}

// Planks run across the face; a frame of darker beams surrounds them and a
// lighter brace runs from the bottom-left to the top-right corner.
uint32_t CratePixel(int x, int y) {
    constexpr Rgb kPlank{156, 102, 52};
    constexpr Rgb kBeam{110, 68, 30};
    constexpr int kFrame = 22;
    constexpr int kBraceHalfWidth = 16;
    const bool inFrame = x < kFrame || y < kFrame || x >= 256 - kFrame || y >= 256 - kFrame;
    const bool onBrace = std::abs((255 - y) - x) <= kBraceHalfWidth;
    const int grain = static_cast<int>(10.0 * std::sin(x * 0.09 + std::sin(y * 0.21) * 2.0));
    if (inFrame) {
        const bool frameEdge = x == 0 || y == 0 || x == 255 || y == 255 || x == kFrame - 1 || y == kFrame - 1 ||
                               x == 256 - kFrame || y == 256 - kFrame;
        return Pack(Shade(kBeam, (frameEdge ? -40 : 0) + Noise(x, y, 6)));
    }
    if (onBrace) {
        const bool braceEdge = std::abs((255 - y) - x) >= kBraceHalfWidth - 1;
        return Pack(Shade(kPlank, (braceEdge ? -50 : 30) + grain / 2 + Noise(x, y, 5)));
    }
    const bool plankGap = (y - kFrame) % 53 == 0;
    return Pack(Shade(kPlank, (plankGap ? -70 : 0) + grain + Noise(x, y, 8)));
}

uint32_t CheckerPixel(int x, int y) {
    constexpr Rgb kRed{200, 30, 30};
    constexpr Rgb kCream{240, 230, 200};
    return Pack(((x / 32 + y / 32) % 2 == 0) ? kRed : kCream);
}

uint32_t StonePixel(int x, int y) {
    constexpr Rgb kMortar{205, 200, 190};
    constexpr Rgb kStone{120, 118, 112};
    constexpr int kRowHeight = 32;
    constexpr int kBrickWidth = 64;
    const int row = y / kRowHeight;
    const int shifted = x + (row % 2) * (kBrickWidth / 2);
    if (y % kRowHeight < 3 || shifted % kBrickWidth < 3) {
        return Pack(Shade(kMortar, Noise(x, y, 6)));
    }
    const int brickTint = Noise(shifted / kBrickWidth, row, 14);
    return Pack(Shade(kStone, brickTint + Noise(x, y, 10)));
}

// Blue at the top fading to dark teal, with a yellow arrow pointing up.
uint32_t ArrowPixel(int x, int localY) {
    const Rgb sky{40 + localY / 4, 90 + localY / 3, 220 - localY};
    constexpr Rgb kArrow{250, 210, 40};
    const bool head = localY >= 12 && localY < 60 && std::abs(x - 128) <= (localY - 12) * 6 / 5;
    const bool shaft = localY >= 60 && localY < 118 && std::abs(x - 128) <= 18;
    return Pack((head || shaft) ? kArrow : sky);
}

uint16_t ToR5G6B5(uint32_t argb) {
    const uint32_t r = (argb >> 16) & 0xFF;
    const uint32_t g = (argb >> 8) & 0xFF;
    const uint32_t b = argb & 0xFF;
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
}

}  // namespace

uint32_t DemoPixel(DemoPage page, int x, int y) {
    switch (page) {
        case kCratePage:
            return CratePixel(x, y);
        case kCheckerPage:
            return CheckerPixel(x, y);
        case kStonePage:
            return y < kArrowTop ? StonePixel(x, y) : ArrowPixel(x, y - kArrowTop);
        default:
            return 0xFF000000u;
    }
}

void AppendDemoPages(std::vector<uint8_t>& textiles32, std::vector<uint8_t>& textiles16) {
    for (uint16_t page = 0; page < kDemoPageCount; ++page) {
        const auto pixel = [page](int x, int y) { return DemoPixel(static_cast<DemoPage>(page), x, y); };
        AppendTile(textiles32, 4, pixel);
        AppendTile(textiles16, 2, [&pixel](int x, int y) { return ToR5G6B5(pixel(x, y)); });
    }
}
