// The look of a whole match, frame by frame: one recorded headless match (a fixed seed, the opening
// exchange, turns with cards, attacks and a battle cry, the end screen) must present exactly the
// frames it presented when this recording was made. Moving code between the rules and the drawing
// must not change what the player sees. (Linux only: the frames hold text drawn by this system's
// fonts.)
#include <gtest/gtest.h>

#include <cstdint>
#include <iomanip>
#include <sstream>
#include <vector>

#include "game/driver.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "support/game_window.h"
#include "support/scripted_player.h"

namespace headless = platform::headless;
using testing_support::PlayerStyle;
using testing_support::ScriptedPlayer;

namespace {

// Frames are summed up in blocks, so that a difference is found near where it began.
constexpr int BLOCK = 256;

uint64_t frameHash(const std::vector<uint32_t>& pixels) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (uint32_t p : pixels) h = (h ^ p) * 0x100000001B3ull;
    return h;
}

struct Recording {
    int frames = 0;
    bool battleCry = false; // a frame showed the player's pick of a battle cry's target
    std::vector<uint64_t> blocks;
    uint64_t running = 0;

    void add(uint64_t frame) {
        running = (running ^ frame) * 0x100000001B3ull + (uint64_t)frames;
        if (++frames % BLOCK == 0) blocks.push_back(running);
    }
    void finish() {
        if (frames % BLOCK) blocks.push_back(running);
    }
};

std::string hex(const std::vector<uint64_t>& values) {
    std::ostringstream out;
    for (uint64_t v : values) out << "0x" << std::hex << std::setw(16) << std::setfill('0') << v << "ull, ";
    return out.str();
}

// Recorded on the game as it was before its rules learned to run without a screen: two matches,
// each with a battle cry's pick.
struct Recorded {
    PlayerStyle::Exchange exchange;
    unsigned seed;
    int frames;
    std::vector<uint64_t> blocks;
};
const Recorded RECORDED[] = {
    {PlayerStyle::EXCHANGE_EVEN, 8, 1456,
     {0x46336d91fcb066ebull, 0x1e0dab4c61362ecdull, 0x7ba41ad30946ed3eull, 0xdb92f74cd61fcaaeull,
      0xe9f4b054536de6baull, 0x7a67285f6647ba8aull}},
    {PlayerStyle::EXCHANGE_ALL, 3, 2212,
     {0xe927c88aaf6ff4b6ull, 0x4b13b9099d52f25full, 0x35819123f8c6d6d4ull, 0x24e8af03cdb2daefull,
      0x02c06bc04f72bc4full, 0xa7837658983f2a5dull, 0x7d42b80521f15427ull, 0x4733114de659a4a1ull,
      0xfb011e13f38de5a5ull}},
};

class FrameSequence : public testing_support::GameWindowTest {
protected:
    void SetUp() override { open(0.5); }
};

TEST_F(FrameSequence, RecordedMatchesPresentTheSameFramesAsWhenTheyWereRecorded) {
    for (const Recorded& want : RECORDED) {
        SCOPED_TRACE("seed " + std::to_string(want.seed));
        headless::setSeed(want.seed);
        PlayerStyle style;
        style.exchange = want.exchange;
        ScriptedPlayer player(game, style);
        player.attach();
        Recording rec;
        // In place of the player's frame checks (the match tests make them): every frame is hashed.
        headless::setFlushObserver([&] {
            rec.add(frameHash(headless::lastFrame()));
            if (game.status == ATKCARD && game.atkTo == -2) rec.battleCry = true;
        });
        startBattle(&game);
        player.detach();
        rec.finish();

        ASSERT_TRUE(rec.battleCry) << "the recording covers a battle cry's pick";
        ASSERT_TRUE(player.record().won || player.record().lost) << "the recording reaches the end screen";
        EXPECT_GT(player.record().turns, 5);
        EXPECT_EQ(rec.frames, want.frames);
        EXPECT_EQ(rec.blocks, want.blocks) << "now: " << hex(rec.blocks);
    }
}

} // namespace
