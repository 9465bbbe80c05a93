// A 64 x 48 headless window for tests of the drawing surface, with solid pictures to draw on it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"

namespace testing_support {

class SmallFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::enable();
        initgraph(64, 48, 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
    }

    // Makes `img` a w x h picture of one colour in place, as a picture loaded again would be.
    static void fill(IMAGE& img, int w, int h, uint32_t colour) {
        img.surface = Surface{};
        img.surface.width = w;
        img.surface.height = h;
        img.surface.pixels.assign((size_t)w * h, colour);
        computeKeyedRuns(img.surface, KEY_COLOUR);
    }

    static IMAGE solid(int w, int h, uint32_t colour) {
        IMAGE img;
        fill(img, w, h, colour);
        return img;
    }

    // A keyed copy of the whole picture with its top left corner at (x, y) of the window.
    static void blit(IMAGE& img, int x, int y) {
        TransparentBlt(GetImageHDC(nullptr), x, y, img.getwidth(), img.getheight(), GetImageHDC(&img), 0, 0,
                       img.getwidth(), img.getheight(), KEY_COLOUR);
    }
};

} // namespace testing_support
