// PNG files for tests: made byte by byte for damaged and unusual pictures, or of one colour.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A PNG of one header, the image data in the chunks given (one after another) and the end chunk,
// with correct checksums: width x height pixels of the given bit depth and colour type (0 grey, 6
// red-green-blue-alpha).
std::string pngFile(uint32_t width, uint32_t height, int depth, int colourType,
                    const std::vector<std::string>& imageDataChunks);
inline std::string pngFile(uint32_t width, uint32_t height, int depth, int colourType, const std::string& imageData) {
    return pngFile(width, height, depth, colourType, std::vector<std::string>{imageData});
}
// Writes a w x h PNG of one colour (0xAARRGGBB) through the game's own encoder.
void writeSolidPng(const std::string& path, int w, int h, uint32_t argb);

} // namespace testing_support
