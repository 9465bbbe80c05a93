// PNG pictures: the one decoder every system uses (and the encoder of the project's tools and tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The largest picture side decoded; a PNG declaring more is refused before it is decoded.
constexpr int MAX_PICTURE_SIDE = 4096;
// A decoded picture, 0xAARRGGBB per pixel, row after row.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};
// A decoded PNG in the decoder's own buffer, so that loading holds the picture once: width x
// height pixels of four bytes (red, green, blue, alpha), row after row, aligned for 32-bit access.
// The owner may rewrite it in place.
struct PngPixels {
    int width = 0;
    int height = 0;
    struct Release {
        void operator()(uint8_t* bytes) const;
    };
    std::unique_ptr<uint8_t[], Release> bytes;
};
// Reads a PNG file and nothing else: a file not starting with the PNG signature is "not a PNG
// file", and a picture with a side of 0 or over MAX_PICTURE_SIDE is refused from its header. The
// file and the decoder's work together take at most memoryLimit bytes, however the file is made.
// On failure returns false and says why in `error`.
bool decodePng(const std::string& path, size_t memoryLimit, PngPixels& out, std::string& error);
// The same, as 0xAARRGGBB pixels (for the project's tools and tests).
bool decodePng(const std::string& path, RgbaPicture& out, std::string& error);
// Writes a PNG file (for the project's tools and tests). On failure returns false with `error`.
bool encodePng(const std::string& path, const RgbaPicture& picture, std::string& error);

} // namespace platform
