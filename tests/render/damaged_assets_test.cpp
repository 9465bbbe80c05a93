// A damaged asset folder: every damaged file gives one line on standard error naming the file and
// the reason, loading neither crashes nor waits, and the rest of the catalogue loads and draws.
#include "damaged_assets.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <thread>

#include "game/game.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/surface.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;
using testing_support::TempWorkDir;

namespace {

using damaged_assets::Damage;

constexpr uint32_t GOOD_COLOUR = 0x3366CC;

// ---- PNG files made byte by byte ----

// A PNG whose header declares width x height (eight-bit RGBA) with a few bytes of image data.
std::string declaredPng(uint32_t width, uint32_t height) {
    std::string someData("\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01\x00", 11);
    return testing_support::pngFile(width, height, 8, 6, someData);
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writePng(const std::string& path, int w, int h, uint32_t argb) {
    platform::RgbaPicture pic;
    pic.width = w;
    pic.height = h;
    pic.pixels.assign((size_t)w * h, argb);
    std::string error;
    ASSERT_TRUE(platform::encodePng(path, pic, error)) << error;
}

// A picture of varied pixels, cut off halfway through its image data.
std::string truncatedPng(const std::string& scratch) {
    platform::RgbaPicture pic;
    pic.width = pic.height = 32;
    for (int i = 0; i < 32 * 32; ++i) pic.pixels.push_back(0xFF000000u | (uint32_t)(i * 2654435761u >> 8));
    std::string error;
    EXPECT_TRUE(platform::encodePng(scratch, pic, error)) << error;
    std::string bytes = fileBytes(scratch);
    return bytes.substr(0, bytes.size() / 2);
}

// A PCX header of a picture 0 pixels across and 1 down: another format, named .png.
std::string pcxOfNoWidth() {
    std::string h(128, '\0');
    h[0] = 0x0A, h[1] = 5, h[2] = 1, h[3] = 8;
    h[4] = 1;    // left 1, right 0: no width
    h[65] = 1;   // one plane
    h[66] = 2;   // two bytes a line
    return h + std::string(8, '\0');
}

// ---- the cases ----

void writeBad(TempWorkDir& dir, const std::string& bytes) { dir.write("asset/bad.png", bytes); }
void badSizes(TempWorkDir& dir, const std::string& sizes) { dir.write("asset/size.ini", "2\n8 8\n" + sizes + "\n"); }
void replaceByDirectory(const std::string& path) {
    std::filesystem::remove(path);
    std::filesystem::create_directories(path + "/inside");
}

const Damage DAMAGES[] = {
    {"AnotherFormatNamedPng", [](TempWorkDir& d) { writeBad(d, pcxOfNoWidth()); }, "./asset/bad.png",
     "not a PNG file", true},
    {"SvgDeclaringAHugePicture",
     [](TempWorkDir& d) {
         writeBad(d, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30000\" height=\"30000\">"
                     "<rect width=\"30000\" height=\"30000\" fill=\"red\"/></svg>");
     },
     "./asset/bad.png", "not a PNG file", true},
    {"PngHeaderDeclaringAHugePicture", [](TempWorkDir& d) { writeBad(d, declaredPng(30000, 30000)); },
     "./asset/bad.png", "30000 x 30000", true},
    {"ValidPngWiderThanTheLimit", [](TempWorkDir&) { writePng("asset/bad.png", 4097, 2, 0xFF00FF00); },
     "./asset/bad.png", "4097 x 2", true},
    {"TruncatedPng", [](TempWorkDir& d) { writeBad(d, truncatedPng("scratch.png")); }, "./asset/bad.png",
     "damaged PNG", true},
    {"PngOfNoWidth", [](TempWorkDir& d) { writeBad(d, declaredPng(0, 10)); }, "./asset/bad.png", "0 x 10",
     true},
    {"SizeOfZero", [](TempWorkDir& d) { badSizes(d, "0 10"); }, "asset/size.ini", "0 x 10", true},
    {"NegativeSize", [](TempWorkDir& d) { badSizes(d, "-5 10"); }, "asset/size.ini", "-5 x 10", true},
    {"HugeSize", [](TempWorkDir& d) { badSizes(d, "100000 100000"); }, "asset/size.ini", "100000 x 100000",
     true},
    {"HugeHeight", [](TempWorkDir& d) { badSizes(d, "1512 1024000"); }, "asset/size.ini", "1512 x 1024000",
     true},
    {"NegativeCount", [](TempWorkDir& d) { d.write("asset/size.ini", "-3\n8 8\n8 8\n"); }, "asset/size.ini",
     "negative picture count", false},
    {"DirectoryForAnIndexFile", [](TempWorkDir&) { replaceByDirectory("asset/size.ini"); },
     "./asset/size.ini", "directory", false},
    {"DirectoryForAPicture", [](TempWorkDir&) { replaceByDirectory("asset/bad.png"); }, "./asset/bad.png",
     "directory", true},
    {"PictureFileOutsideTheFolder",
     [](TempWorkDir& d) {
         writePng("outside.png", 8, 8, 0xFFFF0000);
         d.write("asset/content.ini", "good ok\n../outside bad\n");
     },
     "asset/content.ini", "outside", true},
};

// Loads the catalogue; a file that the loader waits on is released after a while (a FIFO opened
// from the other end, say), so that a loader that would hang comes back and the test fails
// instead of hanging.
bool loadWithoutWaiting(Game& game, const std::function<void()>& release) {
    std::mutex m;
    std::condition_variable done;
    bool finished = false;
    std::atomic<bool> waited{false};
    std::thread guard([&] {
        std::unique_lock<std::mutex> lock(m);
        if (done.wait_for(lock, std::chrono::seconds(5), [&] { return finished; })) return;
        waited = true;
        if (release) release();
    });
    game.loadAssets();
    {
        std::lock_guard<std::mutex> lock(m);
        finished = true;
    }
    done.notify_one();
    guard.join();
    return !waited;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

} // namespace

namespace damaged_assets {

void DamagedAssets::SetUp() {
        headless::enable();
        initgraph(64, 64, 0);
        BeginBatchDraw();
        std::filesystem::create_directories("asset");
        writePng("asset/good.png", 8, 8, 0xFF000000 | GOOD_COLOUR);
        writePng("asset/bad.png", 8, 8, 0xFFFF0000);
        dir.write("asset/size.ini", "2\n8 8\n8 8\n");
        dir.write("asset/content.ini", "good ok\nbad bad\n");
}

TEST_P(DamagedAssets, OneLineNamesTheFileAndTheReasonAndTheRestLoadsAndDraws) {
    const Damage& damage = GetParam();
    damage.apply(dir);
    Game game;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    bool returned = loadWithoutWaiting(game, damage.release);
    std::string err = testing::internal::GetCapturedStderr();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(returned) << "loading waited on a file that never comes";
    EXPECT_EQ(out, "");

    std::vector<std::string> naming;
    for (const std::string& line : lines(err)) {
        if (line.find(damage.file) != std::string::npos) naming.push_back(line);
        else EXPECT_TRUE(!damage.restLoads && line.find("no pictures are loaded") != std::string::npos)
            << "another line: " << line;
    }
    ASSERT_EQ(naming.size(), 1u) << err;
    EXPECT_NE(naming[0].find(damage.reason), std::string::npos) << naming[0];

    if (!damage.restLoads) {
        EXPECT_TRUE(game.pmap.empty());
        return;
    }
    ASSERT_EQ(game.pmap.count("ok"), 1u);
    ASSERT_EQ(game.pmap.count("bad"), 1u) << "the damaged entry is there and draws nothing";
    testing::internal::CaptureStdout();
    game.printPic("ok", 0, 0, 0);
    game.printPic("bad", 20, 20, 0);
    FlushBatchDraw();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(headless::pixel(4, 4), GOOD_COLOUR);
    EXPECT_EQ(headless::pixel(24, 24), 0u);
}

std::string damageName(const testing::TestParamInfo<Damage>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EachKind, DamagedAssets, ::testing::ValuesIn(DAMAGES), damageName);

} // namespace damaged_assets
