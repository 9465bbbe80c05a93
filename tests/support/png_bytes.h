// PNG files made byte by byte, for tests of damaged and unusual pictures.
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

} // namespace testing_support
