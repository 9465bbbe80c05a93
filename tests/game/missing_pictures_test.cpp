// Without pictures the window says so instead of showing a lobby nobody can use: where they were
// looked for (paths drawn in GBK), that the game cannot be played without them; closing the window
// still ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/lobby.h"
#include "platform/platform.h"
#include "platform/terminal.h"
#include "render/assets.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;
namespace fs = std::filesystem;
using testing_support::TempWorkDir;

namespace {

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// ---- the lines ----------------------------------------------------------------------------------

struct LinesCase {
    const char* name;
    std::vector<std::string> places; // as searched, UTF-8 (relative ones from the working folder)
    int usedPlace;                   // the folder that was used but gave no picture, -1 for none
    std::vector<std::string> shown;  // the paths the message shows, GBK ("." for the working folder)
};

// The lines of the message after its three lines of explanation and before the closing one.
std::vector<std::string> pathLines(const std::vector<std::string>& lines) {
    if (lines.size() < 4) return {};
    return std::vector<std::string>(lines.begin() + 3, lines.end() - 1);
}

class MissingPicturesLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(MissingPicturesLines, ShowEveryPlaceLookedInAsAnAbsolutePathInGbk) {
    const LinesCase& c = GetParam();
    TempWorkDir dir;
    std::vector<std::string> shown;
    for (const std::string& path : c.shown)
        shown.push_back(path.rfind("./", 0) == 0 ? dir.path().string() + path.substr(1) : path);
    std::vector<std::string> lines =
        missingPicturesLines(c.places, c.usedPlace < 0 ? "" : c.places[(size_t)c.usedPlace]);
    EXPECT_EQ(pathLines(lines), shown);
    for (const std::string& line : lines) EXPECT_FALSE(line.empty());
    if (c.usedPlace < 0) {
        EXPECT_EQ(lines.size(), c.places.size() + 4);
    }
}

const LinesCase LINES[] = {
    {"InstalledPlaces",
     {"/opt/game/bin/asset", "/opt/game/share/cardbattle/asset"},
     -1,
     {"/opt/game/bin/asset", "/opt/game/share/cardbattle/asset"}},
    {"TheWorkingFolderAsItsAbsolutePath", {"./asset", "/usr/bin/asset"}, -1, {"./asset", "/usr/bin/asset"}},
    {"AWorkingFolderBelowRelativeSteps", {"./a/../asset"}, -1, {"./asset"}},
    {"ChineseFolderNames", {utf8(u8"/home/玩家/游戏/asset")}, -1, {"/home/玩家/游戏/asset"}},
    {"AccentedLettersGbkHas", {utf8(u8"/home/José/asset")}, -1, {"/home/José/asset"}},
    {"ACharacterGbkLacks", {utf8(u8"/srv/🎮/asset")}, -1, {"/srv/?/asset"}},
    {"BytesThatAreNotUtf8", {"/home/Jos\xE9/asset"}, -1, {"/home/Jos?/asset"}},
    {"OnlyTheFolderThatWasUsed",
     {"./asset", utf8(u8"/home/玩家/bin/asset"), "/usr/share/cardbattle/asset"},
     1,
     {"/home/玩家/bin/asset"}},
};

INSTANTIATE_TEST_SUITE_P(Places, MissingPicturesLines, ::testing::ValuesIn(LINES),
                         [](const testing::TestParamInfo<LinesCase>& info) { return std::string(info.param.name); });

// ---- the entry's choice, and the screen -----------------------------------------------------------

// Pixels of the last frame that are not black, in rows from y0 to y1 (window pixels).
int inkedPixels(int y0, int y1) {
    int inked = 0;
    platform::Point size = headless::frameSize();
    for (int y = y0; y < y1 && y < size.y; ++y)
        for (int x = 0; x < size.x; ++x) inked += headless::pixel(x, y) != 0;
    return inked;
}

// How many of `lines` bands of text centred on the middle of the window (48 reference units
// each) hold text.
int inkedBands(int lines, double rate) {
    int band = (int)(48 * rate), top = (int)(512 * rate) - lines * band / 2, inked = 0;
    for (int i = 0; i < lines; ++i) inked += inkedPixels(top + i * band, top + (i + 1) * band) >= 100;
    return inked;
}

enum class Catalogue { NONE, UNREADABLE_PICTURES, LOBBY };

struct ChoiceCase {
    const char* name;
    Catalogue catalogue;
    bool message; // the message, or else the lobby
};

class EntryChoice : public ::testing::TestWithParam<ChoiceCase> {
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
    platform::RgbaPicture pic;
    pic.width = pic.height = 4;
    pic.pixels.assign(16, 0xFF000000 | LOBBY_COLOUR);
    std::string error;
    ASSERT_TRUE(platform::encodePng((folder / "l.png").string(), pic, error)) << error;
}

TEST_P(EntryChoice, TheLobbyOnlyWhenAPictureCanBeDrawn) {
    const ChoiceCase& c = GetParam();
    TempWorkDir dir;
    dir.write("setting.ini", "0\n0\n");
    makeCatalogue(dir.path() / "pictures", c.catalogue);
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
    if (c.message) {
        // Three lines of explanation, the one place (or the folder used), the way out; nothing
        // around them.
        EXPECT_EQ(inkedBands(5, 0.5), 5);
        EXPECT_EQ(inkedPixels(0, 256 - 5 * 24 / 2) + inkedPixels(256 + 5 * 24 / 2, 512), 0);
        EXPECT_EQ(headless::clock(), 10 * headless::sleepCount()) << "it waits 10 ms at a time";
    } else {
        EXPECT_EQ(headless::pixel(4, 4), LOBBY_COLOUR);
    }
    if (c.catalogue == Catalogue::NONE) {
        EXPECT_NE(errors.find("no pictures are loaded"), std::string::npos) << errors;
    }
}

const ChoiceCase CHOICES[] = {
    {"NoCatalogueAnywhere", Catalogue::NONE, true},
    {"ACatalogueWhosePicturesCannotBeRead", Catalogue::UNREADABLE_PICTURES, true},
    {"ACatalogueWithALobby", Catalogue::LOBBY, false},
};

INSTANTIATE_TEST_SUITE_P(Catalogues, EntryChoice, ::testing::ValuesIn(CHOICES),
                         [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

} // namespace
