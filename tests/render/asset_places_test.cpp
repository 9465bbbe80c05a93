// Where the catalogue is looked for: the working folder's asset/ first, then asset/ beside the
// executable, then the installed data folder; a folder counts only with both index files in it as
// regular files, and every picture then comes from that folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/surface.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;
namespace fs = std::filesystem;
using testing_support::TempWorkDir;

namespace {

enum class F { NONE, GOOD, SIZE_ONLY, SIZE_IS_DIR, NO_PICTURE }; // NO_PICTURE: both index files only

uint32_t colourAt(size_t place) { return 0x204060u + (uint32_t)place * 0x302010u; }

void makeFolder(TempWorkDir& dir, const fs::path& at, F kind, uint32_t colour) {
    if (kind == F::NONE) return;
    fs::create_directories(kind == F::SIZE_IS_DIR ? at / "size.ini" : at);
    if (kind != F::SIZE_IS_DIR) dir.write((at / "size.ini").string(), "1\n4 4\n");
    if (kind != F::SIZE_ONLY) dir.write((at / "content.ini").string(), "p pic\n");
    if (kind != F::NO_PICTURE) testing_support::writeSolidPng((at / "p.png").string(), 4, 4, 0xFF000000 | colour);
}

struct Places {
    const char* name;
    std::vector<F> folders; // the working folder's asset/, then two more places
    int used;               // the folder the pictures come from, -1 for none
    bool drawn;             // whether "pic" draws that folder's colour
};

class AssetPlaces : public ::testing::TestWithParam<Places> {
protected:
    void TearDown() override { useDefaultAssetSearchPlaces(); }
};

TEST_P(AssetPlaces, TheFirstFolderHoldingBothIndexFilesIsUsedForEveryPicture) {
    const Places& k = GetParam();
    headless::enable();
    initgraph(16, 16, 0);
    BeginBatchDraw();
    TempWorkDir dir;
    std::vector<std::string> places{"./asset", (dir.path() / "beside" / "asset").string(),
                                    (dir.path() / "share" / "cardbattle" / "asset").string()};
    for (size_t i = 0; i < places.size(); ++i) makeFolder(dir, places[i], k.folders[i], colourAt(i));
    setAssetSearchPlaces(places);
    Game game;
    testing::internal::CaptureStderr();
    game.loadAssets();
    std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(assetFolder(), k.used < 0 ? "" : places[k.used]);
    for (size_t i = 0; i < places.size(); ++i) {
        if ((int)i == k.used) continue;
        bool passedOver = (int)i < k.used || k.used < 0;
        bool incomplete = k.folders[i] == F::SIZE_ONLY || k.folders[i] == F::SIZE_IS_DIR;
        EXPECT_EQ(err.find(places[i] + "/") != std::string::npos, passedOver && incomplete)
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

// By default: the working folder, then the executable's own folder and the data folder of an
// installation around it, each looked in once.
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
