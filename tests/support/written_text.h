// What the game writes into the window: every text drawtext is given, with its box and style, and
// whether a text shows whole in its box.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/surface.h"
#include "render/surface_internal.h"

namespace testing_support {

struct WrittenText {
    std::string gbk;
    RECT box;
    TextStyle style;
};

// Records every text drawtext is given while it lives.
class TextWatch {
public:
    TextWatch();
    ~TextWatch();
    TextWatch(const TextWatch&) = delete;
    TextWatch& operator=(const TextWatch&) = delete;

    const std::vector<WrittenText>& texts() const { return written; }
    void clear() { written.clear(); }

private:
    std::vector<WrittenText> written;
};

bool plainAscii(const std::string& text);

// Whether the text, laid out in its box, shows whole: no line wider than the box (a word too long
// for it is cut at its sides) and no more than a faint edge of ink cut off at its bottom.
::testing::AssertionResult showsWhole(const WrittenText& text);

} // namespace testing_support
