// Frames drawn one after the other: what the surface keeps from the previous frame must never
// show through where the new drawing differs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;

namespace {

class FrameUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        headless::enable();
        initgraph(64, 48, 0);
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
    }

    static void fill(IMAGE& img, int w, int h, uint32_t colour) {
        img.surface = Surface{};
        img.surface.width = w;
        img.surface.height = h;
        img.surface.pixels.assign((size_t)w * h, colour);
        computeKeyedRuns(img.surface, KEY_COLOUR);
    }

    static void blit(IMAGE& img, int x, int y) {
        TransparentBlt(GetImageHDC(nullptr), x, y, img.getwidth(), img.getheight(), GetImageHDC(&img), 0, 0,
                       img.getwidth(), img.getheight(), KEY_COLOUR);
    }
};

TEST_F(FrameUpdate, APictureLoadedAgainInPlaceIsDrawnAnew) {
    testing_support::TempWorkDir dir;
    auto writePng = [](const std::string& name, uint32_t argb) {
        platform::RgbaPicture pic;
        pic.width = 4;
        pic.height = 4;
        pic.pixels.assign(16, argb);
        std::string error;
        ASSERT_TRUE(platform::encodePng(name, pic, error)) << error;
    };
    writePng("red.png", 0xFFFF0000);
    writePng("blue.png", 0xFF0000FF);
    IMAGE back, pic;
    fill(back, 64, 48, 0x102030);
    ASSERT_TRUE(loadimage(&pic, "red.png", 8, 8));
    blit(back, 0, 0);
    blit(pic, 10, 10);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(12, 12), 0xFF0000u);

    // The same picture object, the same drawing: only its pixels are new.
    ASSERT_TRUE(loadimage(&pic, "blue.png", 8, 8));
    blit(back, 0, 0);
    blit(pic, 10, 10);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(12, 12), 0x0000FFu);

    // A picture made again the same way in the same object.
    fill(pic, 8, 8, 0x00FF00);
    blit(back, 0, 0);
    blit(pic, 10, 10);
    FlushBatchDraw();
    EXPECT_EQ(headless::pixel(12, 12), 0x00FF00u);
}

} // namespace
