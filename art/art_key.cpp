// Turns rendered pictures (RGBA) into the game's keyed pictures and writes the two index files.
//
//   art_key [--pictures-only] <asset folder> <stem> <identifier> <rendered png> [<stem> <identifier> <png>]...
//
// --pictures-only writes the pictures without index files: the English variants of pictures that
// carry words (asset/en/) stand in for pictures the index files of asset/ already list.
//
// The game copies pictures opaquely with the key colour 0x7F7F7F left out, so every pixel must be
// either fully shown or the key: mostly transparent pixels become the key, the rest are laid over
// black (edges darken into the outlines instead of turning grey), and an opaque pixel that happens
// to be exactly the key is nudged off it so it is not lost.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/png.h"

namespace {

constexpr uint32_t KEY = 0xFF7F7F7F;
constexpr uint32_t NUDGED = 0xFF7F7F80;

uint32_t keyed(uint32_t argb) {
    uint32_t a = argb >> 24;
    if (a < 128) return KEY;
    auto over = [a](uint32_t c) { return (c * a + 127) / 255; };
    uint32_t rgb = over(argb >> 16 & 0xFF) << 16 | over(argb >> 8 & 0xFF) << 8 | over(argb & 0xFF);
    uint32_t p = 0xFF000000 | rgb;
    return p == KEY ? NUDGED : p;
}

struct Entry {
    std::string stem, identifier;
    int across = 0, down = 0;
};

} // namespace

int main(int argc, char** argv) {
    bool index = !(argc > 1 && std::string(argv[1]) == "--pictures-only");
    int first = index ? 1 : 2; // the asset folder's argument
    if (argc < first + 4 || (argc - first - 1) % 3 != 0) {
        std::fprintf(stderr, "usage: %s [--pictures-only] <asset folder> (<stem> <identifier> <rendered png>)...\n",
                     argv[0]);
        return 2;
    }
    std::string folder = argv[first];
    std::vector<Entry> entries;
    for (int i = first + 1; i < argc; i += 3) {
        Entry e{argv[i], argv[i + 1]};
        platform::RgbaPicture picture;
        std::string error;
        if (!platform::decodePng(argv[i + 2], picture, error)) {
            std::fprintf(stderr, "art_key: cannot read %s: %s\n", argv[i + 2], error.c_str());
            return 1;
        }
        for (uint32_t& p : picture.pixels) p = keyed(p);
        std::string out = folder + "/" + e.stem + ".png";
        if (!platform::encodePng(out, picture, error)) {
            std::fprintf(stderr, "art_key: cannot write %s: %s\n", out.c_str(), error.c_str());
            return 1;
        }
        e.across = picture.width;
        e.down = picture.height;
        entries.push_back(e);
    }
    if (!index) return 0;
    // The rendered size is the SVG's own width and height: the reference size of the picture.
    std::ofstream size(folder + "/size.ini"), content(folder + "/content.ini");
    size << entries.size() << "\n";
    for (const Entry& e : entries) {
        size << e.across << " " << e.down << "\n";
        content << e.stem << " " << e.identifier << "\n";
    }
    size.close();
    content.close();
    if (!size || !content) {
        std::fprintf(stderr, "art_key: cannot write the index files in %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
