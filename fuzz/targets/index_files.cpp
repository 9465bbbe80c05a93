// The catalogue's two index files and its pictures, made from one input, loaded at every rate the
// game runs at, and every entry drawn.
//
// Input: size.ini, content.ini, p0.png, p1.png and p2.png in that order, separated by "\n====\n".
// A file the input stops before is missing from the folder; an empty part is an empty file. The
// folder also holds a directory (dir.png), a FIFO (fifo.png) and a sparse 1 GiB file (big.png),
// which content.ini may name.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "fuzz_target.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/surface.h"

namespace {

const std::string SEPARATOR = "\n====\n";
const char* const FILES[] = {"size.ini", "content.ini", "p0.png", "p1.png", "p2.png"};
// Small, so that a size.ini asking for big pictures is refused quickly rather than resampled for
// seconds; the refusal is a path worth fuzzing too.
constexpr size_t BUDGET = size_t(4) << 20;

std::vector<std::optional<std::string>> split(const std::string& input) {
    std::vector<std::optional<std::string>> parts(std::size(FILES));
    size_t from = 0;
    for (size_t i = 0; i < parts.size() && from <= input.size(); ++i) {
        size_t end = i + 1 < parts.size() ? input.find(SEPARATOR, from) : std::string::npos;
        if (end == std::string::npos) end = input.size();
        parts[i] = input.substr(from, end - from);
        from = end + SEPARATOR.size();
    }
    return parts;
}

// The asset folder, with the things no input writes made once.
const std::string& scratchAssets() {
    static const std::string folder = [] {
        std::string f = fuzzing::scratchFolder() + "/asset";
        std::filesystem::create_directories(f + "/dir.png");
        mkfifo((f + "/fifo.png").c_str(), 0600);
        fuzzing::putFile(f + "/big.png", "");
        std::filesystem::resize_file(f + "/big.png", uintmax_t(1) << 30); // sparse: takes no room
        return f;
    }();
    return folder;
}

} // namespace

FUZZ_TARGET(index_files) {
    platform::headless::enable();
    releasePictures();
    setPictureBudget(BUDGET);
    const std::string& folder = scratchAssets();
    std::vector<std::optional<std::string>> parts =
        split(std::string(reinterpret_cast<const char*>(data), size));
    for (size_t i = 0; i < parts.size(); ++i)
        fuzzing::putFile(folder + "/" + FILES[i], parts[i].value_or(""), parts[i].has_value());
    setAssetSearchPlaces({folder});

    initgraph(160, 120);
    BeginBatchDraw();
    // One game per rate, one after another as a restarted launcher would: each load replaces the
    // pictures of the identifiers the last one loaded.
    for (double rate : {0.5, 0.75, 1.0}) {
        Game game;
        game.rate = rate;
        game.loadAssets();
        FUZZ_CHECK(pictureBytes() <= BUDGET, std::to_string(pictureBytes()) + " bytes of pictures");
        int n = 0;
        for (const auto& [id, pic] : game.pmap) {
            FUZZ_CHECK(pic != nullptr, id);
            const Surface& s = pic->img.surface;
            bool empty = s.width == 0 && s.height == 0 && s.pixels.empty();
            bool asListed = s.width == pic->height && s.height == pic->width &&
                            s.pixels.size() == (size_t)s.width * s.height;
            FUZZ_CHECK(empty || asListed, id + " is not the size size.ini gives it");
            // Anchors 0 to 8 and two out of range; some positions off the frame.
            game.printPic(id, n * 37 % 400 - 120, n * 53 % 300 - 90, n % 11 - 1);
            ++n;
        }
        FlushBatchDraw();
    }
    return 0;
}
