#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/letterbox.h"

using platform::fitFrame;
using platform::frameToWindow;
using platform::LetterboxScaler;
using platform::Placement;
using platform::Point;
using platform::windowToFrame;

namespace {

// ---- where the frame goes ----------------------------------------------------------------

struct FitCase {
    const char* scenario;
    Point frame, window;
    Placement expected;
};

const FitCase FIT_CASES[] = {
    {"SameSize", {756, 512}, {756, 512}, {0, 0, 756, 512}},
    {"DoubleSize", {756, 512}, {1512, 1024}, {0, 0, 1512, 1024}},
    {"WiderWindowHasBarsLeftAndRight", {756, 512}, {1600, 512}, {422, 0, 756, 512}},
    {"TallerWindowHasBarsAboveAndBelow", {1134, 768}, {1134, 1000}, {0, 116, 1134, 768}},
    {"FullHdScreen", {756, 512}, {1920, 1080}, {162, 0, 1595, 1080}},
    {"HalfPixelWidthRoundsUp", {1134, 768}, {2400, 1600}, {18, 0, 2363, 1600}},
    {"SmallerWindowShrinksTheFrame", {1512, 1024}, {756, 400}, {82, 0, 591, 400}},
    {"OneRowHighWindow", {756, 512}, {1000, 1}, {499, 0, 1, 1}},
    {"MinimisedWindow", {756, 512}, {0, 0}, {0, 0, 0, 0}},
    {"NoWidth", {756, 512}, {0, 300}, {0, 0, 0, 0}},
    {"NoFrameYet", {0, 0}, {756, 512}, {0, 0, 0, 0}},
    {"FrameTooFlatForTheWindow", {1000, 1}, {1, 5}, {0, 0, 0, 0}},
};

class FrameFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(FrameFit, KeepsTheAspectAndCentres) {
    const FitCase& c = GetParam();
    Placement at = fitFrame(c.frame, c.window);
    EXPECT_EQ(at.x, c.expected.x);
    EXPECT_EQ(at.y, c.expected.y);
    EXPECT_EQ(at.width, c.expected.width);
    EXPECT_EQ(at.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(Letterbox, FrameFit, ::testing::ValuesIn(FIT_CASES),
                         [](const auto& info) { return std::string(info.param.scenario); });

// ---- the pointer mapped back into frame pixels ---------------------------------------------

struct PointerCase {
    const char* scenario;
    Point frame, window;
    Point pointer; // window pixels
    Point expected; // frame pixels
};

const PointerCase POINTER_CASES[] = {
    {"SameSizeIsUnchanged", {756, 512}, {756, 512}, {300, 200}, {300, 200}},
    {"SameSizeLastPixel", {756, 512}, {756, 512}, {755, 511}, {755, 511}},
    {"DoubleTopLeftPixelBlock", {756, 512}, {1512, 1024}, {1, 1}, {0, 0}},
    {"DoubleNextPixelBlock", {756, 512}, {1512, 1024}, {2, 2}, {1, 1}},
    {"DoubleLastPixel", {756, 512}, {1512, 1024}, {1511, 1023}, {755, 511}},
    {"DoubleJustOutsideTheWindow", {756, 512}, {1512, 1024}, {1512, 1024}, {756, 512}},
    {"DoubleAboveLeftOfTheWindow", {756, 512}, {1512, 1024}, {-1, -1}, {-1, -1}},
    {"DoubleFarOutside", {756, 512}, {1512, 1024}, {-50, 2000}, {-25, 1000}},
    {"WideLeftBarLastPixel", {756, 512}, {1600, 512}, {421, 100}, {-1, 100}},
    {"WideFirstFramePixel", {756, 512}, {1600, 512}, {422, 100}, {0, 100}},
    {"WideLastFramePixel", {756, 512}, {1600, 512}, {1177, 100}, {755, 100}},
    {"WideRightBarFirstPixel", {756, 512}, {1600, 512}, {1178, 100}, {756, 100}},
    {"WideWindowCorner", {756, 512}, {1600, 512}, {0, 0}, {-422, 0}},
    {"TallTopBarLastPixel", {1134, 768}, {1134, 1000}, {500, 115}, {500, -1}},
    {"TallFirstFrameRow", {1134, 768}, {1134, 1000}, {500, 116}, {500, 0}},
    {"TallLastFrameRow", {1134, 768}, {1134, 1000}, {500, 883}, {500, 767}},
    {"TallBottomBarFirstPixel", {1134, 768}, {1134, 1000}, {500, 884}, {500, 768}},
    {"FractionalScaleFirstPixel", {756, 512}, {1920, 1080}, {162, 0}, {0, 0}},
    {"FractionalScaleLastPixel", {756, 512}, {1920, 1080}, {1756, 1079}, {755, 511}},
    {"FractionalScaleRightBar", {756, 512}, {1920, 1080}, {1757, 1080}, {756, 512}},
    {"FractionalScaleLeftBar", {756, 512}, {1920, 1080}, {161, 540}, {-1, 256}},
    {"ShrunkFramePixelNearestTheMiddle", {1512, 1024}, {756, 512}, {10, 10}, {21, 21}},
    {"MinimisedWindowIsOutside", {756, 512}, {0, 0}, {10, 10}, {-1, -1}},
};

class PointerMapping : public ::testing::TestWithParam<PointerCase> {};

TEST_P(PointerMapping, NamesTheFramePixelDrawnUnderIt) {
    const PointerCase& c = GetParam();
    Point p = windowToFrame(fitFrame(c.frame, c.window), c.frame, c.pointer);
    EXPECT_EQ(p.x, c.expected.x);
    EXPECT_EQ(p.y, c.expected.y);
}

INSTANTIATE_TEST_SUITE_P(Letterbox, PointerMapping, ::testing::ValuesIn(POINTER_CASES),
                         [](const auto& info) { return std::string(info.param.scenario); });

// ---- frame -> window -> frame ---------------------------------------------------------------

struct SizePair {
    const char* scenario;
    Point frame, window;
};

const SizePair SIZE_PAIRS[] = {
    {"SameSize", {756, 512}, {756, 512}},
    {"Double", {756, 512}, {1512, 1024}},
    {"FullHd", {1134, 768}, {1920, 1080}},
    {"Wide", {756, 512}, {1600, 512}},
    {"Tall", {1134, 768}, {1134, 1000}},
    {"SlightlyLarger", {1512, 1024}, {1513, 1100}},
    {"Shrunk", {1512, 1024}, {756, 400}},
    {"ShrunkOddly", {1134, 768}, {333, 777}},
};

class RoundTrip : public ::testing::TestWithParam<SizePair> {};

// Each axis is mapped on its own, so walking the diagonal's columns and rows separately covers
// every frame pixel.
TEST_P(RoundTrip, EveryFramePixelIsShownAndFoundAgain) {
    const SizePair& c = GetParam();
    Placement at = fitFrame(c.frame, c.window);
    bool enlarged = at.width >= c.frame.x;
    int footprint = (c.frame.x + at.width - 1) / at.width; // frame pixels per window pixel, rounded up
    for (int i = 0; i < std::max(c.frame.x, c.frame.y); ++i) {
        Point f{std::min(i, c.frame.x - 1), std::min(i, c.frame.y - 1)};
        Point w = frameToWindow(at, c.frame, f);
        ASSERT_GE(w.x, at.x);
        ASSERT_LT(w.x, at.x + at.width);
        ASSERT_GE(w.y, at.y);
        ASSERT_LT(w.y, at.y + at.height);
        Point back = windowToFrame(at, c.frame, w);
        if (enlarged) {
            ASSERT_EQ(back.x, f.x) << "frame column " << f.x;
            ASSERT_EQ(back.y, f.y) << "frame row " << f.y;
        } else {
            ASSERT_LE(std::abs(back.x - f.x), footprint) << "frame column " << f.x;
            ASSERT_LE(std::abs(back.y - f.y), footprint) << "frame row " << f.y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Letterbox, RoundTrip, ::testing::ValuesIn(SIZE_PAIRS),
                         [](const auto& info) { return std::string(info.param.scenario); });

// ---- the scaled frame -----------------------------------------------------------------------

uint32_t coordinates(int x, int y) { return 0x1000000u | (uint32_t)(y << 12) | (uint32_t)x; }

// Every window pixel shows the frame pixel the pointer mapping names for it, the bars are black,
// and nothing is written past the window's width inside a longer row. One scaler draws every
// size in turn, as a window that is resized again and again does.
TEST(LetterboxScaler, EachWindowPixelShowsTheFramePixelThePointerWouldName) {
    LetterboxScaler scaler;
    const uint32_t untouched = 0xDEADBEEF;
    for (const SizePair& c : SIZE_PAIRS) {
        SCOPED_TRACE(c.scenario);
        std::vector<uint32_t> frame((size_t)c.frame.x * c.frame.y);
        for (int y = 0; y < c.frame.y; ++y)
            for (int x = 0; x < c.frame.x; ++x) frame[(size_t)y * c.frame.x + x] = coordinates(x, y);
        int pitch = c.window.x + 7;
        std::vector<uint32_t> window((size_t)pitch * c.window.y, untouched);
        scaler.draw(frame.data(), c.frame, window.data(), pitch, c.window);
        Placement at = fitFrame(c.frame, c.window);
        int wrong = 0;
        for (int y = 0; y < c.window.y; ++y) {
            for (int x = 0; x < pitch; ++x) {
                uint32_t got = window[(size_t)y * pitch + x];
                uint32_t want = untouched;
                if (x < c.window.x) {
                    Point f = windowToFrame(at, c.frame, {x, y});
                    bool inside = f.x >= 0 && f.y >= 0 && f.x < c.frame.x && f.y < c.frame.y;
                    want = inside ? coordinates(f.x, f.y) : 0;
                }
                if (got != want && ++wrong <= 3)
                    ADD_FAILURE() << "window pixel (" << x << ", " << y << ") is " << std::hex << got << ", not "
                                  << want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
