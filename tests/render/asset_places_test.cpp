// Where the catalogue is looked for: the working folder's asset/ first, then asset/ beside the
// executable, then the installed data folder; a folder counts only with both index files in it as
// regular files, and every picture then comes from that folder.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/surface.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;
namespace fs = std::filesystem;
using testing_support::TempWorkDir;

namespace {

enum class Folder {
    NONE,          // not there at all
    GOOD,          // both index files and the picture
    SIZE_ONLY,     // content.ini missing
    SIZE_IS_DIR,   // a directory where size.ini should be
    NO_PICTURE,    // both index files, but the picture is not in this folder
};

// Colour of the picture in the folder at this place in the list.
uint32_t colourAt(size_t place) { return 0x204060u + (uint32_t)place * 0x302010u; }

void makeFolder(const fs::path& at, Folder kind, uint32_t colour) {
    if (kind == Folder::NONE) return;
    fs::create_directories(at);
    auto text = [&](const char* name, const std::string& content) { std::ofstream(at / name) << content; };
    if (kind == Folder::SIZE_IS_DIR) fs::create_directories(at / "size.ini");
    else text("size.ini", "1\n4 4\n");
    if (kind != Folder::SIZE_ONLY) text("content.ini", "p pic\n");
    if (kind == Folder::NO_PICTURE) return;
    platform::RgbaPicture pic;
    pic.width = pic.height = 4;
    pic.pixels.assign(16, 0xFF000000 | colour);
    std::string error;
    ASSERT_TRUE(platform::encodePng((at / "p.png").string(), pic, error)) << error;
}

struct Places {
    const char* name;
    std::vector<Folder> folders; // the working folder's asset/, then two more places
    int used;                    // index of the folder the pictures come from, -1 for none
    bool drawn;                  // whether "pic" draws that folder's colour
};

class AssetPlaces : public ::testing::TestWithParam<Places> {
protected:
    void SetUp() override {
        headless::enable();
        initgraph(16, 16, 0);
        BeginBatchDraw();
    }
    void TearDown() override { useDefaultAssetSearchPlaces(); }
};

TEST_P(AssetPlaces, TheFirstFolderHoldingBothIndexFilesIsUsedForEveryPicture) {
    const Places& k = GetParam();
    TempWorkDir dir;
    std::vector<std::string> places{"./asset", (dir.path() / "beside" / "asset").string(),
                                    (dir.path() / "share" / "cardbattle" / "asset").string()};
    for (size_t i = 0; i < places.size(); ++i) makeFolder(places[i], k.folders[i], colourAt(i));
    setAssetSearchPlaces(places);
    Game game;
    testing::internal::CaptureStderr();
    game.loadAssets();
    std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(assetFolder(), k.used < 0 ? "" : places[k.used]);
    for (size_t i = 0; i < places.size(); ++i) {
        if ((int)i == k.used) continue;
        bool passedOver = (int)i < k.used || k.used < 0;
        bool damaged = k.folders[i] == Folder::SIZE_ONLY || k.folders[i] == Folder::SIZE_IS_DIR;
        EXPECT_EQ(err.find(places[i] + "/") != std::string::npos, passedOver && damaged)
            << "a folder passed over is reported when it is there but incomplete: " << err;
    }
    if (k.used < 0) {
        EXPECT_NE(err.find("no pictures are loaded"), std::string::npos);
        for (const std::string& place : places) EXPECT_NE(err.find(place), std::string::npos) << "looked in " << place;
        EXPECT_TRUE(game.pmap.empty());
        return;
    }
    ASSERT_EQ(game.pmap.count("pic"), 1u);
    game.printPic("pic", 0, 0, 0);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(1, 1), k.drawn ? colourAt(k.used) : 0u);
}

using F = Folder;
const Places PLACES[] = {
    {"WorkingFolderFirst", {F::GOOD, F::GOOD, F::GOOD}, 0, true},
    {"BesideTheExecutableNext", {F::NONE, F::GOOD, F::GOOD}, 1, true},
    {"InstalledFolderLast", {F::NONE, F::NONE, F::GOOD}, 2, true},
    {"OneIndexFileDoesNotCount", {F::SIZE_ONLY, F::GOOD, F::GOOD}, 1, true},
    {"ADirectoryForAnIndexFileDoesNotCount", {F::SIZE_IS_DIR, F::SIZE_ONLY, F::GOOD}, 2, true},
    {"PicturesComeOnlyFromTheFolderUsed", {F::NO_PICTURE, F::GOOD, F::GOOD}, 0, false},
    {"NoneFound", {F::NONE, F::SIZE_ONLY, F::NONE}, -1, false},
};

INSTANTIATE_TEST_SUITE_P(Order, AssetPlaces, ::testing::ValuesIn(PLACES),
                         [](const testing::TestParamInfo<Places>& info) { return std::string(info.param.name); });

// The default list: the working folder, then the executable's own folder and the data folder of
// an installation around it (an unpacked archive included), each looked in once.
TEST(AssetPlacesByDefault, FollowTheExecutable) {
    useDefaultAssetSearchPlaces();
    fs::path exeFolder = fs::path(platform::executablePath()).parent_path();
    ASSERT_FALSE(exeFolder.empty());
    std::vector<std::string> expected{"./asset", (exeFolder / "asset").string(),
                                      (exeFolder.parent_path() / "share" / "cardbattle" / "asset").string()};
    EXPECT_EQ(assetSearchPlaces(), expected);

    fs::path previous = fs::current_path();
    fs::current_path(exeFolder);
    std::vector<std::string> fromItsOwnFolder = assetSearchPlaces();
    fs::current_path(previous);
    EXPECT_EQ(fromItsOwnFolder, (std::vector<std::string>{expected[0], expected[2]}));
}

} // namespace
