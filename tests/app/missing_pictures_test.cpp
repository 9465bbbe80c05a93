// Without pictures the window says so instead of showing a lobby nobody can use: where they were
// looked for (paths drawn in GBK), that the game cannot be played without them; closing the window
// still ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "app/lobby.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/terminal.h"
#include "missing_pictures.h"
#include "render/assets.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;
namespace fs = std::filesystem;
using testing_support::TempWorkDir;

namespace missing_pictures {

std::vector<LinesCase> casesIn(const std::string& home, const std::string& sep) {
    auto utf8 = [](const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); };
    auto in = [&](const std::string& name) { return home + name + sep + "asset"; };
    return {
        {"AFolderInTheWorkingFolder", {"asset"}, -1, {"./asset"}},
        {"AWorkingFolderBelowRelativeSteps", {"./a/../asset"}, -1, {"./asset"}},
        {"TheFolderUsedOfTheWorkingFolder", {"./pictures", "./asset"}, 1, {"./asset"}},
        {"ChineseFolderNames", {"./asset", in(utf8(u8"玩家"))}, -1, {"./asset", in("玩家")}},
        {"AccentedLettersGbkHas", {in(utf8(u8"José"))}, -1, {in("José")}},
        {"ACharacterGbkLacks", {in(utf8(u8"🎮"))}, -1, {in("?")}},
        {"BytesThatAreNotUtf8", {in("Jos\xE9")}, -1, {in("Jos?")}},
        {"OnlyTheFolderThatWasUsed", {"./asset", in(utf8(u8"玩家")), in("share")}, 1, {in("玩家")}},
    };
}

TEST_P(MissingPicturesLines, ShowEveryPlaceLookedInAsAnAbsolutePathInGbk) {
    const LinesCase& c = GetParam();
    TempWorkDir dir;
    std::vector<std::string> shown;
    for (const std::string& path : c.shown)
        shown.push_back(path.rfind("./", 0) == 0 ? platform::utf8Of(dir.path() / platform::pathOf(path.substr(2)))
                                                 : path);
    std::vector<std::string> lines =
        missingPicturesLines(c.places, c.usedPlace < 0 ? "" : c.places[(size_t)c.usedPlace]);
    // Three lines of explanation, the paths, the way out.
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 3, lines.end() - 1), shown);
    for (const std::string& line : lines) EXPECT_FALSE(line.empty());
}

} // namespace missing_pictures

namespace {

// Pixels of the last frame that are not black, in rows from y0 to y1.
int inkedPixels(int y0, int y1) {
    int inked = 0;
    platform::Point size = headless::frameSize();
    for (int y = y0; y < y1 && y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) inked += headless::pixel(x, y) != 0;
    return inked;
}

enum class Catalogue { NONE, UNREADABLE_PICTURES, LOBBY };
const char* const NAMES[] = {"NoCatalogueAnywhere", "ACatalogueWhosePicturesCannotBeRead", "ACatalogueWithALobby"};

class EntryChoice : public ::testing::TestWithParam<Catalogue> {
protected:
    void SetUp() override { headless::enable(); }
    void TearDown() override {
        headless::setCallback(nullptr);
        headless::setFlushObserver(nullptr);
        useDefaultAssetSearchPlaces();
        headless::enable();
    }
};

constexpr uint32_t LOBBY_COLOUR = 0x3060A0;

void makeCatalogue(const fs::path& folder, Catalogue kind) {
    if (kind == Catalogue::NONE) return;
    fs::create_directories(folder);
    std::ofstream(folder / "size.ini") << "2\n1512 1024\n200 200\n";
    std::ofstream(folder / "content.ini") << "l lobby\nb b_adv\n";
    if (kind == Catalogue::UNREADABLE_PICTURES) {
        std::ofstream(folder / "l.png") << "not a picture";
        return;
    }
    testing_support::writeSolidPng((folder / "l.png").string(), 4, 4, 0xFF000000 | LOBBY_COLOUR);
}

TEST_P(EntryChoice, TheLobbyOnlyWhenAPictureCanBeDrawn) {
    TempWorkDir dir;
    dir.write("setting.ini", "0\n0\n");
    makeCatalogue(dir.path() / "pictures", GetParam());
    setAssetSearchPlaces({(dir.path() / "pictures").string()});
    platform::terminal::headless::setInteractive(false);
    int polls = 0;
    headless::setCallback([&] {
        if (++polls > 50 || headless::sleepCount() > 5) headless::closeWindow();
    });
    headless::setFlushObserver([] {
        if (headless::flushCount() <= 20) return;
        ADD_FAILURE() << "frames flushed with no wait for the player";
        headless::closeWindow();
    });
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_THROW(runGame(), platform::WindowClosed);
    testing::internal::GetCapturedStdout();
    std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_EQ(headless::windowRequest().width, 756);
    if (GetParam() == Catalogue::LOBBY) {
        EXPECT_EQ(headless::pixel(4, 4), LOBBY_COLOUR);
        return;
    }
    // Five lines of 24 pixels centred in the window: three of explanation, the one place, the way
    // out; nothing around them.
    int lines = 0;
    for (int top = 256 - 60; top < 256 + 60; top += 24) lines += inkedPixels(top, top + 24) >= 100;
    EXPECT_EQ(lines, 5);
    EXPECT_EQ(inkedPixels(0, 256 - 60) + inkedPixels(256 + 60, 512), 0);
    EXPECT_EQ(headless::clock(), 10 * headless::sleepCount()) << "it waits 10 ms at a time";
    if (GetParam() == Catalogue::NONE) {
        EXPECT_NE(errors.find("no pictures are loaded"), std::string::npos) << errors;
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogues, EntryChoice,
                         ::testing::Values(Catalogue::NONE, Catalogue::UNREADABLE_PICTURES, Catalogue::LOBBY),
                         [](const testing::TestParamInfo<Catalogue>& info) { return std::string(NAMES[(int)info.param]); });

} // namespace
