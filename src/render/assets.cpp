// The picture catalogue: loading from the two index files and drawing by identifier and anchor.
#include "render/assets.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <sstream>

#include "game/game.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "game/choices.h"
#include "render/surface_internal.h"

namespace {

// ---- where pictures come from ----

struct Search {
    bool custom = false;
    std::vector<std::string> places;
    std::string folder; // the one the last loadAssets used
};

Search& search() {
    static Search s;
    return s;
}

std::vector<std::string> defaultPlaces() {
    std::vector<std::string> places{"./asset"};
    std::string exe = platform::executablePath();
    if (exe.empty()) return places;
    std::filesystem::path dir = platform::pathOf(exe).parent_path();
    // Started from its own folder, the program would otherwise look in one folder twice.
    if (platform::utf8Of(dir) != platform::workingFolder()) places.push_back(platform::utf8Of(dir / "asset"));
    places.push_back(platform::utf8Of((dir / ".." / "share" / "cardbattle" / "asset").lexically_normal()));
    return places;
}

void report(const std::string& line) { std::cerr << "cardbattle: " << line << std::endl; }

std::string joined(const std::vector<std::string>& places) {
    std::string list;
    for (const std::string& place : places) list += (list.empty() ? "" : ", ") + place;
    return list;
}

// Whether the folder holds both index files as regular files. A folder that is there but does not
// is reported, so that a damaged one is not passed over in silence.
bool holdsCatalogue(const std::string& folder) {
    platform::PathKind kind = platform::pathKind(folder);
    if (kind == platform::PathKind::MISSING) return false;
    std::string notUsed = "; pictures are not taken from " + folder;
    if (kind != platform::PathKind::DIRECTORY) {
        report(folder + " is not a folder" + notUsed);
        return false;
    }
    for (const char* name : {"size.ini", "content.ini"}) {
        std::string file = folder + "/" + name;
        switch (platform::pathKind(file)) {
        case platform::PathKind::REGULAR:
            continue;
        case platform::PathKind::MISSING:
            report(file + " is missing" + notUsed);
            return false;
        case platform::PathKind::DIRECTORY:
            report(file + " is a directory, not an index file" + notUsed);
            return false;
        case platform::PathKind::OTHER:
            report(file + " is not a regular file" + notUsed);
            return false;
        }
    }
    return true;
}

// The first place holding a catalogue, or "" (reported) when there is none.
std::string findAssetFolder() {
    std::vector<std::string> places = assetSearchPlaces();
    for (const std::string& place : places)
        if (holdsCatalogue(place)) return place;
    report("cannot read asset/size.ini and asset/content.ini (looked in " + joined(places) +
           "); no pictures are loaded");
    return "";
}

// ---- what pictures cost ----

// Decoding one picture may take what the catalogue leaves of this, so that loading, whatever the
// files hold, stays well within a quarter of a gibibyte.
constexpr size_t LOADING_CEILING = size_t(200) << 20;
constexpr size_t INDEX_FILE_LIMIT = size_t(1) << 20;

// Pictures are kept one per identifier for the whole run, in one place: loading an identifier
// again frees the pixels it held and loads the new ones into the same AssetPic, so every pmap
// that shares it (Game copies do) sees the new picture and none is left pointing at freed memory.
struct Store {
    std::map<std::string, std::unique_ptr<AssetPic>> pictures;
    size_t bytes = 0;
    size_t budget = PICTURE_BUDGET;
};

Store& store() {
    static Store s;
    return s;
}

size_t heldBytes(const AssetPic& pic) {
    const Surface& s = pic.img.surface;
    return s.pixels.capacity() * sizeof(uint32_t) + s.keyedRuns.capacity() * sizeof(Surface::Run) +
           s.rowRuns.capacity() * sizeof(int);
}

// The identifier's picture, emptied.
AssetPic* emptiedPicture(const std::string& identifier) {
    std::unique_ptr<AssetPic>& slot = store().pictures[identifier];
    if (!slot) slot = std::make_unique<AssetPic>();
    store().bytes -= heldBytes(*slot);
    slot->img = IMAGE();
    slot->width = slot->height = 0;
    return slot.get();
}

bool sideAllowed(int side) { return side >= 1 && side <= MAX_REFERENCE_SIDE; }

// A stem naming a file in another folder would take a picture from outside the asset folder.
bool plainStem(const std::string& stem) { return stem.find_first_of("/\\") == std::string::npos; }

// Reads one index file whole, or says why not.
bool readIndex(const std::string& file, std::istringstream& in) {
    std::string bytes, error;
    if (!platform::readFile(file, INDEX_FILE_LIMIT, bytes, error)) {
        report("cannot read " + file + " (" + error + "); no pictures are loaded");
        return false;
    }
    in.str(bytes);
    return true;
}

// The file of a picture: in English the variant in en/ of the asset folder when there is one (the
// pictures that carry words have one), otherwise the picture itself.
std::string pictureFile(const std::string& folder, const std::string& stem, Language language) {
    if (language == Language::ENGLISH) {
        std::string english = folder + "/en/" + stem + ".png";
        if (platform::pathKind(english) == platform::PathKind::REGULAR) return english;
    }
    return folder + "/" + stem + ".png";
}

// Reads a picture file into `pic` at its size, within what loading may still take.
void loadPictureFile(AssetPic& pic, const std::string& file) {
    size_t target = (size_t)std::max(0, pic.width) * std::max(0, pic.height) * sizeof(uint32_t);
    size_t taken = store().bytes + target;
    size_t memoryLimit = LOADING_CEILING - std::min(LOADING_CEILING, taken);
    std::string error;
    if (!loadPicture(&pic.img, file.c_str(), pic.height, pic.width, memoryLimit, error))
        report("cannot load picture " + file + ": " + error + "; it is not drawn");
}

// One reading of the two index files from the asset folder.
struct Catalogue {
    std::string folder, sizeFile, contentFile;
    std::istringstream size, content;

    explicit Catalogue(const std::string& where)
        : folder(where), sizeFile(where + "/size.ini"), contentFile(where + "/content.ini") {}

    // The picture count; 0 (reported) when it is missing or negative.
    int count() {
        int n = 0;
        if (!(size >> n)) {
            report(sizeFile + " does not start with a picture count; no pictures are loaded");
            return 0;
        }
        if (n < 0) {
            report(sizeFile + " gives a negative picture count (" + std::to_string(n) + "); no pictures are loaded");
            return 0;
        }
        return n;
    }

    void endsEarly(const std::string& file, int read, int n) {
        report(file + " ends after " + std::to_string(read) + " of " + std::to_string(n) + " pictures");
    }

    // Loads every entry the two files give; each one that cannot be drawn is reported and stays
    // empty, and loading goes on.
    void loadAll(Game& game) {
        int n = count();
        for (int i = 1; i <= n; ++i) {
            int h = 0, w = 0;
            std::string stem, identifier;
            if (!(size >> h >> w)) return endsEarly(sizeFile, i - 1, n);
            if (!(content >> stem >> identifier)) return endsEarly(contentFile, i - 1, n);
            try {
                load(game, h, w, stem, identifier);
            } catch (const std::bad_alloc&) {
                report("not enough memory for picture " + identifier + "; it is not drawn");
            }
        }
    }

    // Loads one entry into the game's catalogue; what cannot be drawn is reported and stays empty.
    void load(Game& game, int h, int w, const std::string& stem, const std::string& identifier) {
        AssetPic* pic = emptiedPicture(identifier);
        game.pmap[identifier] = pic;
        std::string sizes = std::to_string(h) + " x " + std::to_string(w);
        if (!sideAllowed(h) || !sideAllowed(w))
            return report(sizeFile + " gives picture " + identifier + " the size " + sizes + "; sizes run from 1 to " +
                          std::to_string(MAX_REFERENCE_SIDE) + ", so it is not drawn");
        pic->width = (int)(w * game.rate);
        pic->height = (int)(h * game.rate);
        if (pic->width <= 0 || pic->height <= 0)
            return report("picture " + identifier + " has no size at this scale (" + sizes + "); it is not drawn");
        if (!plainStem(stem))
            return report(contentFile + " names the picture file " + stem + " for " + identifier + ", outside " +
                          folder + "; it is not drawn");
        size_t bytes = (size_t)pic->width * pic->height * sizeof(uint32_t);
        if (store().bytes + bytes > store().budget)
            return report("picture " + identifier + " (" + folder + "/" + stem +
                          ".png) would take the pictures over their budget of " + platform::byteCount(store().budget) +
                          "; it is not drawn");
        loadPictureFile(*pic, pictureFile(folder, stem, game.language));
        store().bytes += heldBytes(*pic);
    }
};

} // namespace

std::vector<std::string> assetSearchPlaces() { return search().custom ? search().places : defaultPlaces(); }

void setAssetSearchPlaces(std::vector<std::string> places) {
    search().custom = true;
    search().places = std::move(places);
}

void useDefaultAssetSearchPlaces() {
    search().custom = false;
    search().places.clear();
}

const std::string& assetFolder() { return search().folder; }

void setPictureBudget(size_t bytes) { store().budget = bytes; }

size_t pictureBytes() { return store().bytes; }

void releasePictures() {
    store().pictures.clear();
    store().bytes = 0;
}

AssetPic::AssetPic() : id(""), img(), width(0), height(0) {}

// The picture itself; the catalogue's loader takes the chosen language's variant where there is one.
void AssetPic::load(std::string path) {
    std::string folder = assetFolder().empty() ? "./asset" : assetFolder();
    loadPictureFile(*this, pictureFile(folder, path, Language::CHINESE));
}

void AssetPic::print(int x, int y, double rate, int fmt) {
    HDC frame = GetImageHDC(nullptr);
    HDC picture = GetImageHDC(&img);
    if (fmt < 0 || fmt > 8) fmt = 0;
    int px = (int)(x * rate), py = (int)(y * rate);
    int across = fmt % 3, down = fmt / 3;
    if (across == 1) px -= height / 2;
    if (across == 2) px -= height;
    if (down == 1) py -= width / 2;
    if (down == 2) py -= width;
    TransparentBlt(frame, px, py, height, width, picture, 0, 0, height, width, KEY_COLOUR);
}

void Game::loadAssets() {
    try {
        search().folder = findAssetFolder();
        if (search().folder.empty()) return;
        Catalogue catalogue(search().folder);
        if (readIndex(catalogue.sizeFile, catalogue.size) && readIndex(catalogue.contentFile, catalogue.content))
            catalogue.loadAll(*this);
    } catch (const std::bad_alloc&) {
        report("not enough memory to read the index files; the pictures not loaded yet are left out");
    }
}

void Game::printPic(std::string id, int x, int y, int fmt) {
    auto it = pmap.find(id);
    if (it == pmap.end()) {
        std::cout << "Fail to find picture id=" << id << std::endl;
        return;
    }
    it->second->print(x, y, rate, fmt);
}
