// A damaged asset folder: every damaged file gives one line on standard error naming the file and
// the reason, loading neither crashes nor waits, and the rest of the catalogue loads and draws.
#include "damaged_assets.h"

#include <filesystem>
#include <future>
#include <sstream>

#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "support/png_bytes.h"

namespace headless = platform::headless;
using testing_support::TempWorkDir;
using testing_support::writeSolidPng;

namespace damaged_assets {
namespace {

constexpr uint32_t GOOD_COLOUR = 0x3366CC;

// A PNG whose header declares width x height (eight-bit RGBA), with a few bytes of image data.
std::string declaredPng(uint32_t width, uint32_t height) {
    std::string someData("\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01\x00", 11);
    return testing_support::pngFile(width, height, 8, 6, someData);
}

// A PCX header of a picture 0 pixels across and 1 down (left 1, right 0): another format, named .png.
std::string pcxOfNoWidth() {
    std::string h(136, '\0');
    h[0] = 0x0A, h[1] = 5, h[2] = 1, h[3] = 8, h[4] = 1, h[65] = 1, h[66] = 2;
    return h;
}

void writeBad(TempWorkDir& d, const std::string& bytes) { d.write("asset/bad.png", bytes); }
void badSizes(TempWorkDir& d, const std::string& sizes) { d.write("asset/size.ini", "2\n8 8\n" + sizes + "\n"); }
void replaceByDirectory(const std::string& path) {
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/inside");
}

const Damage DAMAGES[] = {
    {"AnotherFormatNamedPng", [](TempWorkDir& d) { writeBad(d, pcxOfNoWidth()); }, "./asset/bad.png",
     "not a PNG file", true},
    {"SvgDeclaringAHugePicture", [](TempWorkDir& d) { writeBad(d, "<svg width=\"30000\" height=\"30000\"/>"); },
     "./asset/bad.png", "not a PNG file", true},
    {"PngHeaderDeclaringAHugePicture", [](TempWorkDir& d) { writeBad(d, declaredPng(30000, 30000)); },
     "./asset/bad.png", "30000 x 30000", true},
    {"ValidPngWiderThanTheLimit", [](TempWorkDir&) { writeSolidPng("asset/bad.png", 4097, 2, 0xFF00FF00); },
     "./asset/bad.png", "4097 x 2", true},
    {"TruncatedPng", [](TempWorkDir& d) { writeBad(d, declaredPng(8, 8).substr(0, 50)); }, "./asset/bad.png",
     "damaged PNG", true},
    {"PngOfNoWidth", [](TempWorkDir& d) { writeBad(d, declaredPng(0, 10)); }, "./asset/bad.png", "0 x 10", true},
    {"SizeOfZero", [](TempWorkDir& d) { badSizes(d, "0 10"); }, "asset/size.ini", "0 x 10", true},
    {"NegativeSize", [](TempWorkDir& d) { badSizes(d, "-5 10"); }, "asset/size.ini", "-5 x 10", true},
    {"HugeSize", [](TempWorkDir& d) { badSizes(d, "100000 100000"); }, "asset/size.ini", "100000 x 100000", true},
    {"HugeHeight", [](TempWorkDir& d) { badSizes(d, "1512 1024000"); }, "asset/size.ini", "1512 x 1024000", true},
    {"NegativeCount", [](TempWorkDir& d) { d.write("asset/size.ini", "-3\n8 8\n8 8\n"); }, "asset/size.ini",
     "negative picture count", false},
    {"DirectoryForAnIndexFile", [](TempWorkDir&) { replaceByDirectory("asset/size.ini"); }, "./asset/size.ini",
     "directory", false},
    {"DirectoryForAPicture", [](TempWorkDir&) { replaceByDirectory("asset/bad.png"); }, "./asset/bad.png",
     "directory", true},
    {"PictureFileOutsideTheFolder",
     [](TempWorkDir& d) {
         writeSolidPng("outside.png", 8, 8, 0xFFFF0000);
         d.write("asset/content.ini", "good ok\n../outside bad\n");
     },
     "asset/content.ini", "outside", true},
};

// Whether loading came back within five seconds; if not, the damaged file is released (a FIFO
// opened from the other end, say) so that the test fails instead of hanging.
bool loadWithoutWaiting(Game& game, const std::function<void()>& release) {
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    // No second thread to watch from in the browser build; no damage it can have makes loading
    // wait (a FIFO is Linux's own).
    (void)release;
    game.loadAssets();
    return true;
#else
    auto loading = std::async(std::launch::async, [&] { game.loadAssets(); });
    if (loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
    if (release) release();
    loading.wait();
    return false;
#endif
}

} // namespace

void DamagedAssets::SetUp() {
    headless::enable();
    initgraph(64, 64, 0);
    BeginBatchDraw();
    std::filesystem::create_directories("asset");
    writeSolidPng("asset/good.png", 8, 8, 0xFF000000 | GOOD_COLOUR);
    writeSolidPng("asset/bad.png", 8, 8, 0xFFFF0000);
    dir.write("asset/size.ini", "2\n8 8\n8 8\n");
    dir.write("asset/content.ini", "good ok\nbad bad\n");
}

TEST_P(DamagedAssets, OneLineNamesTheFileAndTheReasonAndTheRestLoadsAndDraws) {
    const Damage& damage = GetParam();
    damage.apply(dir);
    Game game;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loadWithoutWaiting(game, damage.release)) << "loading waited on a file that never comes";
    std::istringstream err(testing::internal::GetCapturedStderr());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    std::vector<std::string> naming;
    for (std::string line; std::getline(err, line);) {
        if (line.find(damage.file) != std::string::npos) naming.push_back(line);
        else EXPECT_TRUE(!damage.restLoads && line.find("no pictures are loaded") != std::string::npos) << line;
    }
    ASSERT_EQ(naming.size(), 1u) << err.str();
    EXPECT_NE(naming[0].find(damage.reason), std::string::npos) << naming[0];
    if (!damage.restLoads) {
        EXPECT_TRUE(game.pmap.empty());
        return;
    }

    ASSERT_EQ(game.pmap.count("ok") + game.pmap.count("bad"), 2u) << "the damaged entry is there and draws nothing";
    testing::internal::CaptureStdout();
    game.printPic("ok", 0, 0, 0);
    game.printPic("bad", 20, 20, 0);
    FlushBatchDraw();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(headless::pixel(4, 4), GOOD_COLOUR);
    EXPECT_EQ(headless::pixel(24, 24), 0u);
}

INSTANTIATE_TEST_SUITE_P(EachKind, DamagedAssets, ::testing::ValuesIn(DAMAGES), damageName);

} // namespace damaged_assets
