// A device window that lives in memory: it reports a chosen client size and
// keeps a copy of the last frame presented to it. Tests draw through it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "platform/win32/DeviceWindow.h"

class MemoryWindow final : public DeviceWindow {
public:
    MemoryWindow(int clientWidth, int clientHeight) : clientWidth_(clientWidth), clientHeight_(clientHeight) {}

    int ClientWidth() const override { return clientWidth_; }
    int ClientHeight() const override { return clientHeight_; }
    void Resize(int clientWidth, int clientHeight) {
        clientWidth_ = clientWidth;
        clientHeight_ = clientHeight;
    }

    // Copies the frame; a frame without pixels or with a side below 1 leaves
    // an empty frame (and still counts as presented).
    void PresentFrame(const uint32_t* pixels, int width, int height, int pitchInPixels) override {
        ++presentCount_;
        frame_.clear();
        frameWidth_ = 0;
        frameHeight_ = 0;
        if (pixels == nullptr || width < 1 || height < 1 || pitchInPixels < width) {
            return;
        }
        frame_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y) {
            const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitchInPixels);
            std::copy(row, row + width, frame_.begin() + static_cast<ptrdiff_t>(y) * width);
        }
        frameWidth_ = width;
        frameHeight_ = height;
    }

    int PresentCount() const { return presentCount_; }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    // The last frame's rows, packed (FrameWidth pixels a row).
    const std::vector<uint32_t>& Frame() const { return frame_; }

    // The pixel at (x, y) of the last frame; 0 outside it.
    uint32_t Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= frameWidth_ || y >= frameHeight_) {
            return 0;
        }
        return frame_[static_cast<size_t>(y) * static_cast<size_t>(frameWidth_) + static_cast<size_t>(x)];
    }

    // Writes the last frame as a binary PPM (P6) picture; false on failure.
    bool WritePpm(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out << "P6\n" << frameWidth_ << ' ' << frameHeight_ << "\n255\n";
        for (uint32_t pixel : frame_) {
            const char rgb[3] = {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
                                 static_cast<char>(pixel)};
            out.write(rgb, 3);
        }
        return static_cast<bool>(out);
    }

private:
    int clientWidth_;
    int clientHeight_;
    int presentCount_ = 0;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    std::vector<uint32_t> frame_;
};
