// PNG files made byte by byte, for tests of damaged and unusual pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A PNG of one header, one image-data chunk and the end chunk, with correct checksums: width x
// height pixels of the given bit depth and colour type (0 grey, 6 red-green-blue-alpha).
std::string pngFile(uint32_t width, uint32_t height, int depth, int colourType, const std::string& imageData);
// The same with the image data in several chunks, one after another.
std::string pngFile(uint32_t width, uint32_t height, int depth, int colourType,
                    const std::vector<std::string>& imageDataChunks);

} // namespace testing_support
