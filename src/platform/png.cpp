// PNG decoding and encoding with stb's single-header libraries, the same on every system.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"
#include "platform/png.h"

namespace {

// stb_image takes its memory here, so that decoding one picture stays within what the caller
// allows however the file is made: a few kilobytes of compressed data may inflate to gigabytes.
// Each block carries its size in front. Pictures are decoded on one thread.
struct DecoderMemory {
    size_t inUse = 0;
    size_t ceiling = SIZE_MAX; // inUse may not grow past this while a picture is decoded
    bool refused = false;      // a request was refused: the decoder does not always say so itself
};
DecoderMemory decoderMemory;
constexpr size_t BLOCK_HEADER = alignof(std::max_align_t);

size_t& blockSize(void* p) { return *reinterpret_cast<size_t*>(static_cast<char*>(p) - BLOCK_HEADER); }

bool decoderMayTake(size_t more) {
    bool may = more <= decoderMemory.ceiling - decoderMemory.inUse && more <= SIZE_MAX - BLOCK_HEADER;
    decoderMemory.refused |= !may;
    return may;
}

void* decoderAlloc(size_t n) {
    if (!decoderMayTake(n)) return nullptr;
    char* block = static_cast<char*>(std::malloc(n + BLOCK_HEADER));
    decoderMemory.refused |= !block;
    if (!block) return nullptr;
    decoderMemory.inUse += n;
    *reinterpret_cast<size_t*>(block) = n;
    return block + BLOCK_HEADER;
}

void decoderFree(void* p) {
    if (!p) return;
    decoderMemory.inUse -= blockSize(p);
    std::free(static_cast<char*>(p) - BLOCK_HEADER);
}

void* decoderRealloc(void* p, size_t n) {
    if (!p) return decoderAlloc(n);
    size_t old = blockSize(p);
    if (n > old && !decoderMayTake(n - old)) return nullptr;
    if (n > SIZE_MAX - BLOCK_HEADER) return nullptr;
    char* block = static_cast<char*>(std::realloc(static_cast<char*>(p) - BLOCK_HEADER, n + BLOCK_HEADER));
    decoderMemory.refused |= !block;
    if (!block) return nullptr;
    decoderMemory.inUse = decoderMemory.inUse - old + n;
    *reinterpret_cast<size_t*>(block) = n;
    return block + BLOCK_HEADER;
}

} // namespace

#define STBI_MALLOC(n) decoderAlloc(n)
#define STBI_REALLOC(p, n) decoderRealloc(p, n)
#define STBI_FREE(p) decoderFree(p)
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS platform::MAX_PICTURE_SIDE
// Decoded on one thread: the decoder's last failure needs no thread-local storage, which
// WebAssembly has only with threads.
#define STBI_NO_THREAD_LOCALS
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image.h>
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace platform {
namespace {

constexpr unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Enough for a 4096 x 4096 picture with eight-bit channels and a well compressed file.
constexpr size_t TOOL_MEMORY_LIMIT = size_t(256) << 20;

uint32_t bigEndian32(const std::string& bytes, size_t at) {
    auto b = [&](size_t i) { return (uint32_t)(unsigned char)bytes[at + i]; };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

// The size the header chunk declares, for messages about pictures the decoder will not look at.
void declaredSize(const std::string& file, long long& width, long long& height) {
    if (file.size() < 24 || file.compare(12, 4, "IHDR") != 0) return;
    width = bigEndian32(file, 16);
    height = bigEndian32(file, 20);
}

// Why a picture of this size is not decoded, or "" when it may be.
std::string sizeRefusal(long long width, long long height) {
    std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width <= 0 || height <= 0) return "it is " + size + ", with nothing in it";
    if (width > MAX_PICTURE_SIDE || height > MAX_PICTURE_SIDE)
        return "it is " + size + ", more than " + std::to_string(MAX_PICTURE_SIDE) + " on a side";
    return "";
}

// Leaves out the image-data chunks that hold nothing, in place, in one pass. stb_image makes its
// buffer for the image data at the first chunk that holds some and copies an empty chunk before
// that through a null pointer: harmless in practice, undefined behaviour all the same.
void dropEmptyImageData(std::string& file) {
    constexpr size_t FRAME = 12; // length, type and checksum around a chunk's data
    size_t read = sizeof SIGNATURE, write = read;
    while (read + 8 <= file.size()) { // a chunk's length and type
        size_t length = bigEndian32(file, read);
        size_t size = std::min(FRAME + length, file.size() - read); // the last may be cut short
        if (length == 0 && file.compare(read + 4, 4, "IDAT") == 0) {
            read += size;
            continue;
        }
        if (write != read) std::memmove(&file[write], &file[read], size);
        read += size;
        write += size;
    }
    if (write == read) return;
    std::memmove(&file[write], &file[read], file.size() - read);
    file.resize(file.size() - (read - write));
}

// Checks the header and decodes the file's content into the decoder's own buffer.
bool decodeBytes(std::string& file, size_t memoryLimit, PngPixels& out, std::string& error) {
    if (file.size() < sizeof SIGNATURE || std::memcmp(file.data(), SIGNATURE, sizeof SIGNATURE) != 0) {
        error = "not a PNG file";
        return false;
    }
    dropEmptyImageData(file);
    const auto* data = reinterpret_cast<const stbi_uc*>(file.data());
    int length = (int)file.size(), w = 0, h = 0, channels = 0;
    bool headerRead = stbi_info_from_memory(data, length, &w, &h, &channels);
    long long width = w, height = h;
    if (!headerRead) declaredSize(file, width, height);
    if (std::string refusal = sizeRefusal(width, height); !refusal.empty()) {
        error = refusal;
        return false;
    }
    if (!headerRead) {
        const char* reason = stbi_failure_reason();
        error = std::string("damaged PNG header (") + (reason ? reason : "?") + ")";
        return false;
    }
    size_t allowance = memoryLimit - std::min(memoryLimit, file.size());
    std::string tooBig = "decoding it needs more memory than the " + byteCount(memoryLimit) + " it may take";
    if ((size_t)w * h * 4 > allowance) {
        error = tooBig;
        return false;
    }
    decoderMemory.ceiling = decoderMemory.inUse + std::min(allowance, SIZE_MAX - decoderMemory.inUse);
    decoderMemory.refused = false;
    stbi_uc* pixels = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    decoderMemory.ceiling = SIZE_MAX;
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        error = decoderMemory.refused ? tooBig : std::string("damaged PNG (") + (reason ? reason : "?") + ")";
        return false;
    }
    out.bytes.reset(pixels);
    out.width = w;
    out.height = h;
    return true;
}

} // namespace

void PngPixels::Release::operator()(uint8_t* bytes) const { stbi_image_free(bytes); }

bool decodePng(const std::string& path, size_t memoryLimit, PngPixels& out, std::string& error) {
    out = {};
    std::string file;
    if (!readFile(path, memoryLimit, file, error)) return false;
    return decodeBytes(file, memoryLimit, out, error);
}

bool decodePng(const std::string& path, RgbaPicture& out, std::string& error) {
    out = {};
    PngPixels decoded;
    if (!decodePng(path, TOOL_MEMORY_LIMIT, decoded, error)) return false;
    out.width = decoded.width;
    out.height = decoded.height;
    out.pixels.resize((size_t)decoded.width * decoded.height);
    const uint8_t* p = decoded.bytes.get();
    for (uint32_t& argb : out.pixels) {
        argb = (uint32_t)p[3] << 24 | (uint32_t)p[0] << 16 | (uint32_t)p[1] << 8 | p[2];
        p += 4;
    }
    return true;
}

bool encodePng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() < (size_t)picture.width * picture.height) {
        error = "empty picture";
        return false;
    }
    std::vector<uint8_t> rgba;
    rgba.reserve((size_t)picture.width * picture.height * 4);
    for (size_t i = 0; i < (size_t)picture.width * picture.height; ++i) {
        uint32_t p = picture.pixels[i];
        rgba.insert(rgba.end(), {(uint8_t)(p >> 16), (uint8_t)(p >> 8), (uint8_t)p, (uint8_t)(p >> 24)});
    }
    std::string png;
    auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), (size_t)size);
    };
    if (!stbi_write_png_to_func(append, &png, picture.width, picture.height, 4, rgba.data(), picture.width * 4)) {
        error = "the encoder failed";
        return false;
    }
    return writeFile(path, png, error);
}

} // namespace platform
