#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "render/assets.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/temp_dir.h"
#include "support/test_catalogue.h"

namespace headless = platform::headless;
using testing_support::TempWorkDir;

namespace {

// Captures what a piece of code writes to standard output and standard error.
struct Captured {
    std::string out, err;
};
template <class F>
Captured capture(F&& f) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    f();
    Captured c;
    c.out = testing::internal::GetCapturedStdout();
    c.err = testing::internal::GetCapturedStderr();
    return c;
}

void writePng(const std::string& path, int w, int h, const std::function<uint32_t(int, int)>& argbAt) {
    platform::RgbaPicture pic;
    pic.width = w;
    pic.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pic.pixels.push_back(argbAt(x, y));
    std::string error;
    ASSERT_TRUE(platform::encodePng(path, pic, error)) << error;
}

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        headless::enable();
        initgraph(1512, 1024, 0);
        BeginBatchDraw();
    }
};

// A picture 90 pixels across and 60 down, drawn at (100, 100) with rate 1.0.
TEST_F(Catalogue, AnchorCodesPlaceTheChosenPointOfThePicture) {
    AssetPic pic;
    pic.height = 90; // across
    pic.width = 60;  // down
    pic.img = IMAGE(90, 60);
    for (uint32_t& p : pic.img.surface.pixels) p = 0x00AA00;
    computeKeyedRuns(pic.img.surface, KEY_COLOUR);
    struct Case {
        int fmt, left, top;
    } cases[] = {{4, 55, 70}, {8, 10, 40}, {9, 100, 100}, {-1, 100, 100}, {0, 100, 100},
                 {1, 55, 100}, {2, 10, 100}, {3, 100, 70}, {5, 10, 70}, {6, 100, 40}, {7, 55, 40}};
    for (const Case& c : cases) {
        headless::enable();
        initgraph(300, 300, 0);
        pic.print(100, 100, 1.0, c.fmt);
        FlushBatchDraw();
        EXPECT_EQ(headless::pixel(c.left, c.top), 0x00AA00u) << "fmt " << c.fmt;
        EXPECT_EQ(headless::pixel(c.left - 1, c.top), 0u) << "fmt " << c.fmt;
        EXPECT_EQ(headless::pixel(c.left, c.top - 1), 0u) << "fmt " << c.fmt;
        EXPECT_EQ(headless::pixel(c.left + 89, c.top + 59), 0x00AA00u) << "fmt " << c.fmt;
    }
    // An odd size halves downwards: 91 across with fmt 1 at x = 100 starts at x = 55.
    headless::enable();
    initgraph(300, 300, 0);
    pic.height = 91;
    pic.img = IMAGE(91, 60);
    for (uint32_t& p : pic.img.surface.pixels) p = 0x00AA00;
    computeKeyedRuns(pic.img.surface, KEY_COLOUR);
    pic.print(100, 100, 1.0, 1);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(55, 100), 0x00AA00u);
    EXPECT_EQ(headless::pixel(54, 100), 0u);
}

TEST_F(Catalogue, PositionsAreScaledOneCoordinateAtATimeAndTruncated) {
    AssetPic pic;
    pic.height = pic.width = 2;
    pic.img = IMAGE(2, 2);
    for (uint32_t& p : pic.img.surface.pixels) p = 0xFFFFFF;
    computeKeyedRuns(pic.img.surface, KEY_COLOUR);
    pic.print(1142, 10, 0.75, 0);
    pic.print(1055, 10, 0.5, 0);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(856, 7), 0xFFFFFFu) << "1142 x 0.75 = 856.5 becomes 856";
    EXPECT_EQ(headless::pixel(855, 7), 0u);
    EXPECT_EQ(headless::pixel(527, 5), 0xFFFFFFu) << "1055 x 0.5 = 527.5 becomes 527";
    EXPECT_EQ(headless::pixel(526, 5), 0u);
}

TEST_F(Catalogue, LoadsBothIndexFilesAtTheGameScale) {
    TempWorkDir dir;
    std::filesystem::create_directories("asset");
    writePng("asset/back.png", 82, 112, [](int, int) { return 0xFF336699u; });
    writePng("asset/gem.png", 10, 10, [](int, int) { return 0xFF00FF00u; });
    // At the limits, which are allowed: a file 4096 pixels across, a size of 4096.
    writePng("asset/edge.png", 4096, 1, [](int, int) { return 0xFF0000FFu; });
    dir.write("asset/size.ini", "3\n82 112\n10\n10\n4096 4\n");
    dir.write("asset/content.ini", "back card\ngem sp\nedge rule\n");
    Game game;
    game.rate = 0.75;
    Captured c = capture([&] { game.loadAssets(); });
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, "");
    ASSERT_EQ(game.pmap.size(), 3u);
    EXPECT_EQ(game.pmap["rule"]->img.getwidth(), 3072) << "4096 x 0.75 across";
    AssetPic* card = game.pmap["card"];
    EXPECT_EQ(card->height, 61) << "82 x 0.75 = 61.5 across";
    EXPECT_EQ(card->width, 84) << "112 x 0.75 down";
    EXPECT_EQ(card->img.getwidth(), 61);
    EXPECT_EQ(card->img.getheight(), 84);
    EXPECT_EQ(card->id, "") << "the identifier lives only as the key";
    EXPECT_EQ(game.pmap["sp"]->img.getwidth(), 7);
}

TEST_F(Catalogue, BrokenIndexFilesKeepWhatWasLoadedAndSaySo) {
    TempWorkDir dir;
    std::filesystem::create_directories("asset");
    writePng("asset/a.png", 4, 4, [](int, int) { return 0xFF112233u; });
    writePng("asset/b.png", 4, 4, [](int, int) { return 0xFF445566u; });
    struct Case {
        const char* name;
        const char* size;
        const char* content;
        size_t loaded;
    } cases[] = {
        {"short size file", "3 4 4 4 4", "a one b two c three", 2},
        {"short content file", "3 4 4 4 4 4 4", "a one", 1},
        {"garbled count", "lots 4 4", "a one", 0},
        {"garbled size", "2 4 4 x 4", "a one b two", 1},
        {"empty files", "", "", 0},
    };
    for (const Case& k : cases) {
        dir.write("asset/size.ini", k.size);
        dir.write("asset/content.ini", k.content);
        Game game;
        Captured c = capture([&] { game.loadAssets(); });
        EXPECT_EQ(game.pmap.size(), k.loaded) << k.name;
        EXPECT_NE(c.err, "") << k.name << " is reported";
    }
    std::filesystem::remove("asset/size.ini");
    Game game;
    Captured c = capture([&] { game.loadAssets(); });
    EXPECT_TRUE(game.pmap.empty());
    EXPECT_NE(c.err.find("size.ini"), std::string::npos) << "a missing index file is named";
}

TEST_F(Catalogue, AMissingOrCorruptPictureIsReportedOnceWithItsPathAndDrawsNothing) {
    TempWorkDir dir;
    std::filesystem::create_directories("asset");
    dir.write("asset/broken.png", "this is not a picture");
    dir.write("asset/size.ini", "3 10 10 10 10 0 5");
    dir.write("asset/content.ini", "broken bad absent gone broken tiny");
    Game game;
    Captured c = capture([&] { game.loadAssets(); });
    EXPECT_NE(c.err.find("./asset/broken.png"), std::string::npos);
    EXPECT_NE(c.err.find("./asset/absent.png"), std::string::npos);
    EXPECT_NE(c.err.find("tiny"), std::string::npos) << "a size that scales to nothing is reported";
    EXPECT_EQ(c.out, "");
    ASSERT_EQ(game.pmap.count("bad"), 1u);
    Captured drawn = capture([&] {
        game.printPic("bad", 0, 0, 0);
        game.printPic("gone", 0, 0, 0);
        game.printPic("tiny", 0, 0, 0);
        FlushBatchDraw();
    });
    EXPECT_EQ(drawn.out, "") << "an entry that failed to load is not a missing identifier";
    EXPECT_EQ(drawn.err, "") << "the failure was reported once, at loading";
    EXPECT_EQ(headless::pixel(0, 0), 0u);
}

TEST_F(Catalogue, AMissingIdentifierIsReportedOncePerCall) {
    Game game;
    Captured c = capture([&] {
        game.printPic("nowhere", 10, 10, 4);
        game.printPic("nowhere", 10, 10, 4);
    });
    EXPECT_EQ(c.out, "Fail to find picture id=nowhere\nFail to find picture id=nowhere\n");
}

// A white disc on the key colour, loaded at 0.5 and 0.75: only key and white pixels, no grey fringe.
TEST_F(Catalogue, ResamplingLeavesNoGreyFringeAroundKeyedShapes) {
    TempWorkDir dir;
    std::filesystem::create_directories("asset");
    writePng("asset/disc.png", 101, 101, [](int x, int y) {
        double d = std::hypot(x - 50.0, y - 50.0);
        return d <= 40.0 ? 0xFFFFFFFFu : 0xFF7F7F7Fu;
    });
    for (double rate : {0.5, 0.75}) {
        IMAGE img;
        int size = (int)(101 * rate);
        ASSERT_TRUE(loadimage(&img, "asset/disc.png", size, size));
        int key = 0, white = 0;
        for (uint32_t p : img.surface.pixels) {
            if (p == 0x7F7F7F) {
                ++key;
                continue;
            }
            EXPECT_GE(p >> 16 & 0xFF, 240u) << "rate " << rate;
            EXPECT_GE(p >> 8 & 0xFF, 240u) << "rate " << rate;
            EXPECT_GE(p & 0xFF, 240u) << "rate " << rate;
            ++white;
        }
        EXPECT_GT(key, 0);
        EXPECT_NEAR(white, 3.14159 * 40 * 40 * rate * rate, 0.1 * white) << "the disc keeps its size";
    }
}

TEST_F(Catalogue, LoadingFlattensOverBlackAndNeverLeavesTheKeyByAccident) {
    TempWorkDir dir;
    std::filesystem::create_directories("asset");
    // A half-transparent red on the left, and greys around it that average to exactly the key
    // colour: halved, the right pixel comes from greys alone.
    writePng("asset/mix.png", 4, 2, [](int x, int y) {
        if (y == 0 && x < 2) return 0x80FF0000u;
        return x % 2 ? 0xFF7E7E7Eu : 0xFF808080u;
    });
    IMAGE same, half;
    ASSERT_TRUE(loadimage(&same, "asset/mix.png", 4, 2));
    EXPECT_EQ(same.surface.pixels[0], 0x800000u) << "transparency is flattened over black";
    ASSERT_TRUE(loadimage(&half, "asset/mix.png", 2, 1));
    for (uint32_t p : half.surface.pixels) EXPECT_NE(p, 0x7F7F7Fu) << "an opaque average never becomes the key";
    TransparentBlt(GetImageHDC(nullptr), 0, 0, 2, 1, GetImageHDC(&half), 0, 0, 2, 1, KEY_COLOUR);
    FlushBatchDraw();
    EXPECT_NE(headless::pixel(1, 0), 0u) << "the grey average is drawn over the black frame";
    IMAGE none;
    EXPECT_FALSE(loadimage(&none, "asset/absent.png", 4, 4));
    EXPECT_EQ(none.getwidth(), 0);
}

// The catalogue's pictures are bounded in bytes, and loading an identifier again frees what it held.
class CatalogueMemory : public Catalogue {
protected:
    TempWorkDir dir;
    void TearDown() override { setPictureBudget(PICTURE_BUDGET); }
    void load(Game& game, const std::string& sizes, const std::string& content) {
        dir.write("asset/size.ini", sizes);
        dir.write("asset/content.ini", content);
        game.loadAssets();
    }
};

TEST_F(CatalogueMemory, AnIdentifierLoadedAgainFreesItsFirstPictureAndGameCopiesFollow) {
    std::filesystem::create_directories("asset");
    writePng("asset/big.png", 64, 64, [](int, int) { return 0xFF0000FFu; });
    writePng("asset/small.png", 8, 8, [](int, int) { return 0xFF00FF00u; });
    Game game, copy;
    load(game, "1 64 64", "big again");
    copy = game;
    size_t withBig = pictureBytes();
    load(game, "1 8 8", "small again");
    ASSERT_EQ(game.pmap["again"], copy.pmap["again"]) << "copies keep a valid picture";
    EXPECT_LT(pictureBytes() + 64 * 64 * 4 - 8 * 8 * 4, withBig + 1024) << "the first picture's pixels are freed";
    EXPECT_EQ(copy.pmap["again"]->height, 8);
    // Loaded again larger after the copy asked for it in the frame's corner: it draws the new one, clipped.
    copy.printPic("again", 1512 - 8, 1024 - 8, 0);
    load(game, "1 64 64", "big again");
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(1511, 1023), 0x0000FFu);
    EXPECT_EQ(headless::pixel(1511 - 8, 1023), 0u);
    EXPECT_EQ(headless::pixel(0, 1023), 0u) << "nothing runs over into the next row";
}

TEST_F(CatalogueMemory, PicturesPastTheBudgetAreRefusedWithAMessageAndDrawNothing) {
    std::filesystem::create_directories("asset");
    writePng("asset/p.png", 32, 32, [](int, int) { return 0xFF336699u; });
    const char* four = "p budget_a p budget_b p budget_c p budget_d";
    releasePictures();
    EXPECT_EQ(pictureBytes(), 0u) << "released, the pictures hold nothing";
    Game game;
    load(game, "1 32 32", "p budget_a");
    size_t one = pictureBytes();
    ASSERT_GE(one, 32u * 32 * 4);
    setPictureBudget(2 * one + one / 2);
    for (int round = 0; round < 2; ++round) {
        Captured c = capture([&] { load(game, "4 32 32 32 32 32 32 32 32", four); });
        EXPECT_EQ(pictureBytes(), 2 * one) << "round " << round << ": what was loaded before is freed first";
        EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 2) << c.err;
        for (const char* refused : {"picture budget_c", "picture budget_d", "over their budget of"})
            EXPECT_NE(c.err.find(refused), std::string::npos) << c.err;
    }
    ASSERT_EQ(game.pmap.size(), 4u);
    Captured drawn = capture([&] {
        game.printPic("budget_b", 0, 0, 0);
        game.printPic("budget_c", 100, 0, 0);
        FlushBatchDraw();
    });
    EXPECT_EQ(drawn.out, "");
    EXPECT_EQ(headless::pixel(1, 1), 0x336699u);
    EXPECT_EQ(headless::pixel(101, 1), 0u);
}

class Animation : public Catalogue {
protected:
    Game game;
    void SetUp() override {
        Catalogue::SetUp();
        testing_support::loadSolidCatalogue(game);
        for (int i = 0; i < 20; ++i) game.battle.c[i] = new Character(0, i, i == 1 || i >= 11);
    }
    void TearDown() override { reclaimMatchObjects(); }
};

TEST_F(Animation, MovesInFrameStepsWithIntegerArithmeticAndSleepsBetween) {
    std::vector<int> xs;
    std::vector<long long> times;
    uint32_t cardColour = testing_support::colourOf("card");
    headless::setCallback([&] {
        // Every sleep follows a flushed frame: find the card's left edge on row 730.
        int found = -1;
        for (int x = 0; x < 1512 && found < 0; ++x)
            if (headless::pixel(x, 730) == cardColour) found = x;
        xs.push_back(found);
        times.push_back(headless::clock());
    });
    game.status = USECARD;
    int before = headless::flushCount();
    game.anime_move("card", 1142, 720, 70, 850, 600, 18, 0);
    headless::setCallback(nullptr);
    EXPECT_EQ(headless::flushCount() - before, 19);
    EXPECT_EQ(headless::sleepCount(), 19);
    EXPECT_EQ(headless::clock(), 19 * 33);
    ASSERT_GE(xs.size(), 2u);
    EXPECT_EQ(xs[0], 1142);
    EXPECT_EQ(xs[1], 1083) << "1142 - 1072 * 1 / 18";
    EXPECT_EQ(game.status, USECARD) << "restored afterwards";
}

TEST_F(Animation, HoldsDisableWhileMovingAndDoesNothingOnceTheMatchIsOver) {
    std::vector<int> seen;
    headless::setCallback([&] { seen.push_back(game.status); });
    game.status = FREE;
    game.anime_move("heal", 100, 100, 100, 60, 200, 10, 4);
    for (int s : seen) EXPECT_EQ(s, DISABLE);
    EXPECT_EQ(game.status, FREE);

    game.gameEnd = true;
    game.status = ATKCARD;
    int flushes = headless::flushCount();
    long long clock = headless::clock();
    game.anime_move("heal", 100, 100, 100, 60, 200, 10, 4);
    EXPECT_EQ(headless::flushCount(), flushes);
    EXPECT_EQ(headless::clock(), clock);
    EXPECT_EQ(game.status, ATKCARD);
}

} // namespace
