// The demo level's texture pages, as 0xAARRGGBB colours per pixel.
#pragma once

#include <cstdint>
#include <vector>

// Pages of the demo level, in page order.
enum DemoPage : uint16_t {
    kCratePage = 0,    // wood planks in a frame with a cross brace
    kCheckerPage = 1,  // 8 x 8 checkerboard, red and cream
    kStonePage = 2,    // top half stone bricks, bottom half a gradient with an up arrow
    kDemoPageCount = 3
};

// Row of the stone page where the arrow picture starts.
constexpr int kArrowTop = 128;

// Colour of pixel (x, y) of a page, 0 <= x, y < 256.
uint32_t DemoPixel(DemoPage page, int x, int y);

// Appends every page, 32-bit (A8R8G8B8) and 16-bit (R5G6B5) tiles.
void AppendDemoPages(std::vector<uint8_t>& textiles32, std::vector<uint8_t>& textiles16);
