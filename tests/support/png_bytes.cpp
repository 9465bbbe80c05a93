#include "support/png_bytes.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/png.h"

namespace testing_support {
namespace {

uint32_t crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
    }
    return ~crc;
}

std::string bigEndian(uint32_t v) { return {(char)(v >> 24), (char)(v >> 16), (char)(v >> 8), (char)v}; }

std::string chunk(const std::string& type, const std::string& data) {
    return bigEndian((uint32_t)data.size()) + type + data + bigEndian(crc32(type + data));
}

} // namespace

std::string pngFile(uint32_t width, uint32_t height, int depth, int colourType,
                    const std::vector<std::string>& imageDataChunks) {
    std::string header = bigEndian(width) + bigEndian(height) + (char)depth + (char)colourType + std::string(3, '\0');
    std::string file = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header);
    for (const std::string& data : imageDataChunks) file += chunk("IDAT", data);
    return file + chunk("IEND", "");
}

void writeSolidPng(const std::string& path, int w, int h, uint32_t argb) {
    platform::RgbaPicture pic;
    pic.width = w;
    pic.height = h;
    pic.pixels.assign((size_t)w * h, argb);
    std::string error;
    ASSERT_TRUE(platform::encodePng(path, pic, error)) << error;
}

} // namespace testing_support
