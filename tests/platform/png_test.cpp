// PNG files: what is written reads back exactly, and decoding keeps to its memory limit however
// the file is made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::pngFile;

// Bits of a deflate stream, least significant first; Huffman codes go most significant first.
struct BitWriter {
    std::string bytes;
    int used = 8;
    void bits(unsigned v, int n, bool code = false) {
        for (int i = 0; i < n; ++i) {
            if (used == 8) bytes += '\0', used = 0;
            bytes.back() = (char)(bytes.back() | (v >> (code ? n - 1 - i : i) & 1) << used++);
        }
    }
};

// A zlib stream of one zero byte followed by `repeats` copies of the 258 bytes before: 13 bits
// inflate to 258 bytes, so a few kilobytes inflate to megabytes.
std::string inflatingStream(int repeats) {
    BitWriter w;
    w.bits(3, 3);             // the last block, fixed Huffman codes
    w.bits(0x30, 8, true);    // literal 0
    for (int i = 0; i < repeats; ++i) {
        w.bits(0xC5, 8, true); // length 258
        w.bits(0, 5, true);    // distance 1
    }
    w.bits(0, 7, true); // end of block
    return std::string("\x78\x01", 2) + w.bytes + std::string(4, '\0');
}

// A zlib stream that stores `data` as it is (no compression), with its checksum.
std::string storedStream(const std::string& data) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) a = (a + c) % 65521, b = (b + a) % 65521;
    uint16_t n = (uint16_t)data.size();
    std::string s("\x78\x01\x01", 3);
    s += {(char)(n & 0xFF), (char)(n >> 8), (char)(~n & 0xFF), (char)((uint16_t)~n >> 8)};
    return s + data + std::string{(char)(b >> 8), (char)b, (char)(a >> 8), (char)a};
}

// Image data may be split into chunks anywhere, empty ones included (which the decoder, left to
// itself, copies through a null pointer when they come before any data).
TEST(PngFiles, ImageDataSplitIntoChunksEmptyOnesIncludedReadsTheSame) {
    testing_support::TempWorkDir dir;
    // A grey picture 3 x 1: the filter byte, then three pixels.
    const std::string stream = storedStream(std::string("\0\x0A\x14\x1E", 4));
    const std::string head = stream.substr(0, 5), tail = stream.substr(5);
    using Chunks = std::vector<std::string>;
    for (const Chunks& chunks : {Chunks{stream}, Chunks{"", stream}, Chunks{"", "", head, "", tail, ""}}) {
        dir.write("grey.png", pngFile(3, 1, 8, 0, chunks));
        platform::RgbaPicture pic;
        std::string error;
        ASSERT_TRUE(platform::decodePng("grey.png", pic, error)) << chunks.size() << " chunks: " << error;
        EXPECT_EQ(pic.pixels, (std::vector<uint32_t>{0xFF0A0A0A, 0xFF141414, 0xFF1E1E1E})) << chunks.size();
    }
    // The file ends within an empty chunk's checksum, before any data (10 bytes into the chunk
    // after the signature and header): damaged, and said so.
    dir.write("cut.png", pngFile(3, 1, 8, 0, Chunks{""}).substr(0, 8 + 25 + 10));
    platform::RgbaPicture pic;
    std::string error;
    EXPECT_FALSE(platform::decodePng("cut.png", pic, error));
    EXPECT_EQ(error.rfind("damaged PNG", 0), 0u) << error;
}

TEST(PngFiles, WhatIsWrittenReadsBackExactlyWithItsTransparency) {
    testing_support::TempWorkDir dir;
    platform::RgbaPicture pic, back;
    pic.width = 3;
    pic.height = 2;
    pic.pixels = {0xFF102030, 0x80FF0000, 0x0000FF00, 0xFF7F7F7F, 0x01020304, 0xFFFFFFFF};
    std::string error;
    ASSERT_TRUE(platform::encodePng("pic.png", pic, error)) << error;
    ASSERT_TRUE(platform::decodePng("pic.png", back, error)) << error;
    EXPECT_EQ(std::pair(back.width, back.height), std::pair(3, 2));
    EXPECT_EQ(back.pixels, pic.pixels);
}

TEST(PngFiles, DecodingStopsAtItsMemoryLimitHoweverFarTheDataInflates) {
    testing_support::TempWorkDir dir;
    // A grey picture of 64 x 64 needs 64 x 65 bytes of data; this stream goes on to 16 MiB. The
    // same stream cut to the 259 bytes of a picture of 258 x 1 decodes.
    dir.write("bomb.png", pngFile(64, 64, 8, 0, inflatingStream(16 << 12)));
    dir.write("fair.png", pngFile(258, 1, 8, 0, inflatingStream(1)));
    platform::PngPixels pixels;
    std::string error;
    EXPECT_TRUE(platform::decodePng("fair.png", size_t(8) << 20, pixels, error)) << error;
    EXPECT_EQ(pixels.width, 258);
    EXPECT_FALSE(platform::decodePng("bomb.png", size_t(8) << 20, pixels, error));
    EXPECT_EQ(error, "decoding it needs more memory than the 8 MiB it may take");
    EXPECT_EQ(pixels.bytes, nullptr);
    // The file itself counts: one larger than the whole limit is not even read.
    EXPECT_FALSE(platform::decodePng("bomb.png", 1000, pixels, error));
    EXPECT_EQ(error, "it is larger than 1000 bytes");
}

} // namespace
