#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <tuple>
#include <vector>

#include "platform/letterbox.h"

using namespace platform;

namespace {

struct Probe {
    Point window, frame; // a pointer in window pixels, the frame pixel it names
};

struct Case {
    const char* scenario;
    Point frame, window;
    Placement at;
    std::vector<Probe> probes;
};

const Case CASES[] = {
    {"SameSize", {756, 512}, {756, 512}, {0, 0, 756, 512}, {}},
    {"DoubleSize", {756, 512}, {1512, 1024}, {0, 0, 1512, 1024},
     {{{1, 1}, {0, 0}}, {{2, 2}, {1, 1}}, {{-1, -1}, {-1, -1}}, {{-50, 2000}, {-25, 1000}}}},
    {"WiderWindowHasBarsLeftAndRight", {756, 512}, {1600, 512}, {422, 0, 756, 512},
     {{{421, 100}, {-1, 100}}, {{1178, 100}, {756, 100}}, {{0, 0}, {-422, 0}}}},
    {"TallerWindowHasBarsAboveAndBelow", {1134, 768}, {1134, 1000}, {0, 116, 1134, 768},
     {{{500, 115}, {500, -1}}, {{500, 884}, {500, 768}}}},
    {"FullHdScreen", {756, 512}, {1920, 1080}, {162, 0, 1595, 1080},
     {{{161, 540}, {-1, 256}}, {{162, 0}, {0, 0}}, {{1756, 1079}, {755, 511}}, {{1757, 1080}, {756, 512}}}},
    {"HalfPixelWidthRoundsUp", {1134, 768}, {2400, 1600}, {18, 0, 2363, 1600}, {}},
    {"SlightlyLarger", {1512, 1024}, {1513, 1100}, {0, 37, 1513, 1025}, {}},
    {"SmallerWindowShrinksTheFrame", {1512, 1024}, {756, 400}, {82, 0, 591, 400}, {}},
    {"ShrunkToTheFramePixelNearestTheMiddle", {1512, 1024}, {756, 512}, {0, 0, 756, 512}, {{{10, 10}, {21, 21}}}},
    {"ShrunkOddly", {1134, 768}, {333, 777}, {0, 275, 333, 226}, {}},
    {"OneRowHighWindow", {756, 512}, {1000, 1}, {499, 0, 1, 1}, {}},
    {"MinimisedWindow", {756, 512}, {0, 0}, {}, {{{10, 10}, {-1, -1}}}},
    {"NoWidth", {756, 512}, {0, 300}, {}, {}},
    {"NoFrameYet", {0, 0}, {756, 512}, {}, {}},
    {"FrameTooFlatForTheWindow", {1000, 1}, {1, 5}, {}, {}},
};

auto fields(const Placement& p) { return std::tuple{p.x, p.y, p.width, p.height}; }

class Letterbox : public ::testing::TestWithParam<Case> {};

TEST_P(Letterbox, KeepsTheAspectCentresAndMapsThePointerBothWays) {
    const Case& c = GetParam();
    const Placement at = fitFrame(c.frame, c.window);
    EXPECT_EQ(fields(at), fields(c.at));
    for (const Probe& p : c.probes) {
        Point f = windowToFrame(at, c.frame, p.window);
        EXPECT_EQ(std::pair(f.x, f.y), std::pair(p.frame.x, p.frame.y)) << p.window.x << ", " << p.window.y;
    }
    // Every frame pixel is shown inside the placement and found there again: exactly when
    // enlarged, within the frame pixels one window pixel covers when shrunk. Each axis is mapped
    // on its own, so the diagonal's columns and rows cover every pixel.
    const int slack = at.width >= c.frame.x ? 0 : (c.frame.x + at.width - 1) / std::max(at.width, 1);
    for (int i = 0; at.width > 0 && i < std::max(c.frame.x, c.frame.y); ++i) {
        Point f{std::min(i, c.frame.x - 1), std::min(i, c.frame.y - 1)};
        Point w = frameToWindow(at, c.frame, f);
        ASSERT_TRUE(w.x >= at.x && w.x < at.x + at.width && w.y >= at.y && w.y < at.y + at.height) << i;
        Point back = windowToFrame(at, c.frame, w);
        ASSERT_LE(std::abs(back.x - f.x), slack) << "frame column " << f.x;
        ASSERT_LE(std::abs(back.y - f.y), slack) << "frame row " << f.y;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, Letterbox, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.scenario); });

uint32_t coordinates(int x, int y) { return 0x1000000u | (uint32_t)(y << 12) | (uint32_t)x; }

// Every window pixel shows the frame pixel the pointer mapping names for it, the bars are black,
// and nothing is written past the window's width inside a longer row. One scaler draws every
// size in turn, as a window resized again and again does.
TEST(LetterboxScaler, EachWindowPixelShowsTheFramePixelThePointerWouldName) {
    LetterboxScaler scaler;
    const uint32_t untouched = 0xDEADBEEF;
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.scenario);
        std::vector<uint32_t> frame((size_t)c.frame.x * c.frame.y);
        for (size_t i = 0; i < frame.size(); ++i) frame[i] = coordinates((int)i % c.frame.x, (int)i / c.frame.x);
        const int pitch = c.window.x + 7;
        std::vector<uint32_t> window((size_t)pitch * c.window.y, untouched);
        scaler.draw(frame.data(), c.frame, window.data(), pitch, c.window);
        const Placement at = fitFrame(c.frame, c.window);
        int wrong = 0;
        for (int y = 0; y < c.window.y; ++y)
            for (int x = 0; x < pitch; ++x) {
                Point f = windowToFrame(at, c.frame, {x, y});
                bool shown = f.x >= 0 && f.y >= 0 && f.x < c.frame.x && f.y < c.frame.y;
                uint32_t got = window[(size_t)y * pitch + x], want = untouched;
                if (x < c.window.x) want = shown ? coordinates(f.x, f.y) : 0;
                if (got != want && ++wrong <= 3)
                    ADD_FAILURE() << "window pixel (" << x << ", " << y << ") is " << std::hex << got << ", not "
                                  << want;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// The window a frame opens in: the frame's own size when the room takes it, otherwise as large as
// fits with the frame's aspect (so that nothing of the window is bars), never larger than the room.
struct OpeningCase {
    const char* scenario;
    Point frame, room, window;
};

const OpeningCase OPENINGS[] = {
    {"FitsWithRoomToSpare", {756, 512}, {1358, 728}, {756, 512}},
    {"FitsExactly", {1134, 768}, {1134, 768}, {1134, 768}},
    {"TooTallForALaptopScreen", {1134, 768}, {1358, 728}, {1075, 728}},
    {"LargestOnALaptopScreen", {1512, 1024}, {1358, 728}, {1075, 728}},
    {"TooWideOnly", {1512, 1024}, {1000, 1040}, {1000, 677}},
    {"TooTallByOnePixel", {1512, 1024}, {1912, 1023}, {1511, 1023}},
    {"RoomNotKnown", {1512, 1024}, {0, 0}, {1512, 1024}},
    {"NoHeightKnown", {756, 512}, {1366, 0}, {756, 512}},
};

class WindowForFrame : public ::testing::TestWithParam<OpeningCase> {};

TEST_P(WindowForFrame, IsTheFramesSizeOrTheLargestOfItsAspectThatFits) {
    const OpeningCase& c = GetParam();
    Point window = windowFor(c.frame, c.room);
    EXPECT_EQ(std::pair(window.x, window.y), std::pair(c.window.x, c.window.y));
}

INSTANTIATE_TEST_SUITE_P(Rooms, WindowForFrame, ::testing::ValuesIn(OPENINGS),
                         [](const auto& info) { return std::string(info.param.scenario); });

} // namespace
