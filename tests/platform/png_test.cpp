// PNG files: what is written reads back exactly, and decoding keeps to its memory limit however
// the file is made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/png.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace {

using testing_support::pngFile;

// A zlib stream in fixed Huffman codes: `literals` (each below 144), then `repeats` copies of
// the 258 bytes before, 13 bits each, so that a few kilobytes inflate to megabytes. The decoder
// does not look at the checksum.
std::string zlibStream(const std::string& literals, int repeats = 0) {
    std::string bytes;
    int used = 8;
    auto code = [&](unsigned c, int n) { // most significant bit first
        for (int i = n - 1; i >= 0; --i) {
            if (used == 8) bytes += '\0', used = 0;
            bytes.back() = (char)(bytes.back() | (c >> i & 1) << used++);
        }
    };
    code(6, 3); // the last block: 1; fixed codes: 01, least significant bit first
    for (unsigned char c : literals) code(0x30 + c, 8);
    for (int i = 0; i < repeats; ++i) code(0xC5 << 5, 13); // length 258, distance 1
    code(0, 7);                                            // end of block
    return std::string("\x78\x01", 2) + bytes + std::string(4, '\0');
}

// Image data may be split into chunks anywhere, empty ones included (which the decoder, left to
// itself, copies through a null pointer when they come before any data).
TEST(PngFiles, ImageDataSplitIntoChunksEmptyOnesIncludedReadsTheSame) {
    testing_support::TempWorkDir dir;
    // A grey picture 3 x 1: the filter byte, then three pixels.
    const std::string stream = zlibStream(std::string("\0\x0A\x14\x1E", 4));
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
    dir.write("bomb.png", pngFile(64, 64, 8, 0, zlibStream(std::string(1, 0), 16 << 12)));
    dir.write("fair.png", pngFile(258, 1, 8, 0, zlibStream(std::string(1, 0), 1)));
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
