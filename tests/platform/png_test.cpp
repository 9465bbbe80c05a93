// PNG files: what is written reads back exactly, and decoding keeps to its memory limit however
// the file is made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace {

// Bits of a deflate stream, least significant first; Huffman codes go most significant first.
struct BitWriter {
    std::string bytes;
    int used = 8;
    void bit(int b) {
        if (used == 8) bytes += '\0', used = 0;
        bytes.back() = (char)(bytes.back() | b << used++);
    }
    void value(unsigned v, int n) {
        for (int i = 0; i < n; ++i) bit(v >> i & 1);
    }
    void code(unsigned c, int n) {
        for (int i = n - 1; i >= 0; --i) bit(c >> i & 1);
    }
};

// A zlib stream of one zero byte followed by `repeats` copies of the 258 bytes before: 13 bits
// inflate to 258 bytes, so a few kilobytes inflate to megabytes.
std::string inflatingStream(int repeats) {
    BitWriter w;
    w.value(1, 1); // last block
    w.value(1, 2); // fixed Huffman codes
    w.code(0x30, 8); // literal 0
    for (int i = 0; i < repeats; ++i) {
        w.code(0xC5, 8); // length 258
        w.code(0, 5);    // distance 1
    }
    w.code(0, 7); // end of block
    return std::string("\x78\x01", 2) + w.bytes + std::string(4, '\0');
}

// A grey picture (one byte a pixel) whose data is `stream`.
std::string greyPng(uint32_t width, uint32_t height, const std::string& stream) {
    return testing_support::pngFile(width, height, 8, 0, stream);
}

// A zlib stream that stores `data` as it is (no compression), with its checksum.
std::string storedStream(const std::string& data) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) a = (a + c) % 65521, b = (b + a) % 65521;
    uint16_t n = (uint16_t)data.size();
    std::string s("\x78\x01\x01", 3);
    s += {(char)(n & 0xFF), (char)(n >> 8), (char)(~n & 0xFF), (char)((uint16_t)~n >> 8)};
    s += data;
    return s + std::string{(char)(b >> 8), (char)b, (char)(a >> 8), (char)a};
}

// Image data may be split into chunks anywhere, empty ones included (which the decoder, left to
// itself, copies through a null pointer when they come before any data).
TEST(PngFiles, ImageDataSplitIntoChunksEmptyOnesIncludedReadsTheSame) {
    testing_support::TempWorkDir dir;
    // A grey picture 3 x 1: the filter byte, then three pixels.
    const std::string stream = storedStream(std::string("\0\x0A\x14\x1E", 4));
    const std::string head = stream.substr(0, 5), tail = stream.substr(5);
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
    } cases[] = {
        {"OneChunk", {stream}},
        {"EmptyChunkFirst", {"", stream}},
        {"EmptyChunksBetweenAndAfter", {"", "", head, "", tail, ""}},
    };
    for (const Case& c : cases) {
        dir.write("grey.png", testing_support::pngFile(3, 1, 8, 0, c.chunks));
        platform::RgbaPicture pic;
        std::string error;
        ASSERT_TRUE(platform::decodePng("grey.png", pic, error)) << c.name << ": " << error;
        EXPECT_EQ(pic.pixels, (std::vector<uint32_t>{0xFF0A0A0A, 0xFF141414, 0xFF1E1E1E})) << c.name;
    }
    // The file ends within an empty chunk's checksum, before any data: damaged, and said so.
    const size_t headerEnd = 8 + 25;
    dir.write("cut.png", testing_support::pngFile(3, 1, 8, 0, std::vector<std::string>{""}).substr(0, headerEnd + 10));
    platform::RgbaPicture pic;
    std::string error;
    EXPECT_FALSE(platform::decodePng("cut.png", pic, error));
    EXPECT_EQ(error.rfind("damaged PNG", 0), 0u) << error;
}

TEST(PngFiles, WhatIsWrittenReadsBackExactlyWithItsTransparency) {
    testing_support::TempWorkDir dir;
    platform::RgbaPicture pic;
    pic.width = 3;
    pic.height = 2;
    pic.pixels = {0xFF102030, 0x80FF0000, 0x0000FF00, 0xFF7F7F7F, 0x01020304, 0xFFFFFFFF};
    std::string error;
    ASSERT_TRUE(platform::encodePng("pic.png", pic, error)) << error;
    platform::RgbaPicture back;
    ASSERT_TRUE(platform::decodePng("pic.png", back, error)) << error;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.height, 2);
    EXPECT_EQ(back.pixels, pic.pixels);
}

TEST(PngFiles, DecodingStopsAtItsMemoryLimitHoweverFarTheDataInflates) {
    testing_support::TempWorkDir dir;
    constexpr size_t LIMIT = size_t(8) << 20;
    // A picture of 64 x 64 needs 64 x 65 bytes of data; this stream goes on to 16 MiB. The same
    // stream cut to the 259 bytes of a picture of 258 x 1 decodes.
    dir.write("bomb.png", greyPng(64, 64, inflatingStream(16 << 12)));
    dir.write("fair.png", greyPng(258, 1, inflatingStream(1)));
    platform::PngPixels pixels;
    std::string error;
    EXPECT_TRUE(platform::decodePng("fair.png", LIMIT, pixels, error)) << error;
    EXPECT_EQ(pixels.width, 258);
    EXPECT_FALSE(platform::decodePng("bomb.png", LIMIT, pixels, error));
    EXPECT_EQ(error, "decoding it needs more memory than the 8 MiB it may take");
    EXPECT_EQ(pixels.bytes, nullptr);
    // The file itself counts: one larger than the whole limit is not even read.
    EXPECT_FALSE(platform::decodePng("bomb.png", 1000, pixels, error));
    EXPECT_EQ(error, "it is larger than 1000 bytes");
}

} // namespace
