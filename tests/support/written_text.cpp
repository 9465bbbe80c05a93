#include "support/written_text.h"

#include <algorithm>
#include <numeric>

namespace testing_support {

TextWatch::TextWatch() {
    setTextObserver([this](const std::string& gbk, const RECT& box, const TextStyle& style) {
        written.push_back({gbk, box, style});
    });
}

TextWatch::~TextWatch() { setTextObserver(nullptr); }

bool plainAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x80; });
}

namespace {

long long inkOf(const TextMask& mask) { return std::accumulate(mask.coverage.begin(), mask.coverage.end(), 0LL); }

} // namespace

::testing::AssertionResult showsWhole(const WrittenText& t) {
    long long width = t.box.right - t.box.left, height = t.box.bottom - t.box.top;
    for (const std::u32string& line : breakLines(t.gbk, t.style, (int)width)) {
        long long w = lineWidth(line, t.style);
        if (w > width)
            return ::testing::AssertionFailure() << "a line is " << w << " pixels wide in a box " << width << " wide";
    }
    // Laid out in a box far taller, the text inks what it inks in its own box only when nothing
    // was cut at the bottom: less than one pixel's worth of ink (a tail's faint edge) is no loss.
    long long inBox = inkOf(layoutText(t.gbk, t.style, width, height));
    long long whole = inkOf(layoutText(t.gbk, t.style, width, height * 8 + 256));
    if (whole - inBox >= 255)
        return ::testing::AssertionFailure() << "the box of " << width << " x " << height << " pixels cuts off "
                                             << whole - inBox << " of " << whole << " ink";
    return ::testing::AssertionSuccess();
}

} // namespace testing_support
