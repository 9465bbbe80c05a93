// Frames drawn one after the other: what the surface keeps from the previous frame must never
// show through where the new drawing differs.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "render/surface.h"
#include "render/surface_internal.h"
#include "support/small_frame.h"
#include "support/temp_dir.h"

namespace headless = platform::headless;

namespace {

using FrameUpdate = testing_support::SmallFrameTest;

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

// One thing a frame draws: a picture at a place, or a text in a box.
struct Item {
    int picture; // index into the pictures, or -1 for a text
    int x, y;
    std::string text;
    COLORREF colour;
};

// Frames changed a little at a time (things added, removed, moved, reordered, retexted) look
// exactly as the same frames drawn from nothing.
TEST_F(FrameUpdate, EachFrameLooksAsIfDrawnFromNothing) {
    constexpr int W = 160, H = 120;
    initgraph(W, H, 0);
    std::mt19937 rng(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<IMAGE> pictures(12);
    fill(pictures[0], W, H, 0x203040);
    fill(pictures[1], W, H, 0x402010);
    for (size_t i = 2; i < pictures.size(); ++i) {
        int w = pick(3, 50), h = pick(3, 40);
        fill(pictures[i], w, h, 0);
        for (uint32_t& p : pictures[i].surface.pixels) p = pick(0, 3) == 0 ? KEY_COLOUR : 0x010101u * pick(1, 250);
        computeKeyedRuns(pictures[i].surface, KEY_COLOUR);
    }
    const char* words[] = {"12", "3/5", "×7", "见习", "WW"};
    auto randomItem = [&]() {
        if (pick(0, 3) == 0)
            return Item{-1, pick(-20, W), pick(-10, H), words[pick(0, 4)], (COLORREF)(0x010101u * pick(0, 255))};
        return Item{pick(2, (int)pictures.size() - 1), pick(-30, W), pick(-30, H), "", 0};
    };
    std::vector<Item> scene = {Item{0, 0, 0, "", 0}};
    for (int i = 0; i < 30; ++i) scene.push_back(randomItem());

    std::vector<std::vector<Item>> frames;
    for (int step = 0; step < 150; ++step) {
        int kind = pick(0, 11);
        size_t at = (size_t)pick(1, (int)scene.size() - 1);
        if (kind == 0) scene.insert(scene.begin() + (ptrdiff_t)at, randomItem());
        if (kind == 1) // a block of drawing appears at once, as a large view does
            for (int k = pick(2, 14); k > 0; --k) scene.insert(scene.begin() + (ptrdiff_t)at, randomItem());
        if (kind == 2 && scene.size() > 2) scene.erase(scene.begin() + (ptrdiff_t)at);
        if (kind == 3) scene[at].x += pick(-5, 5), scene[at].y += pick(-5, 5);
        if (kind == 4 && at + 1 < scene.size()) std::swap(scene[at], scene[at + 1]);
        if (kind == 5) scene[at].text = words[pick(0, 4)];
        if (kind == 6) scene[0].picture = 1 - scene[0].picture; // another background under it all
        if (kind == 7) // many small changes at once
            for (Item& item : scene) item.x += pick(0, 4) == 0 ? 1 : 0;
        if (kind == 8) scene.insert(scene.begin() + (ptrdiff_t)at, scene[at]); // the same thing twice
        if (kind == 10 && scene.size() > 2) scene.pop_back(); // the last thing drawn goes
        if (kind == 11) scene.push_back(randomItem());
        // kind 9: the same frame again
        frames.push_back(scene);
    }

    auto draw = [&](const std::vector<Item>& items) {
        for (const Item& item : items) {
            if (item.picture >= 0) {
                blit(pictures[(size_t)item.picture], item.x, item.y);
                continue;
            }
            settextstyle(12, 6, "WenQuanYi Micro Hei");
            settextcolor(item.colour);
            RECT r{item.x, item.y, item.x + 40, item.y + 16};
            drawtext(item.text.c_str(), &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        }
    };
    std::vector<std::vector<uint32_t>> shown;
    for (const auto& items : frames) {
        draw(items);
        FlushBatchDraw();
        shown.push_back(headless::lastFrame());
    }
    for (size_t n = 0; n < frames.size(); ++n) {
        draw(frames[n]);
        drawRecordedFrame(); // the whole frame, from nothing
        FlushBatchDraw();
        ASSERT_EQ(headless::lastFrame(), shown[n]) << "frame " << n;
    }
}

} // namespace
