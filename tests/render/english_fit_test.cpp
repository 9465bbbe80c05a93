// English is longer than Chinese: every card's English name and rules text, drawn the ways the game
// draws them (the large view of a hand card, of a minion of either side on the board), and the
// screen's own English texts show whole in their boxes at all three window sizes, with the baked
// pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "app/lobby.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/easyx_con.h"
#include "render/language.h"
#include "render/layout.h"
#include "render/surface.h"
#include "support/catalogue_cards.h"
#include "support/english.h"
#include "support/written_text.h"

namespace headless = platform::headless;
using testing_support::WrittenText;

namespace {

void pointAt(const Game& g, int x, int y) { headless::setPointer((int)(x * g.rate), (int)(y * g.rate)); }

// One way the game shows texts: it draws them into the window of `game` at its scale.
struct Scene {
    std::string what;
    std::function<void(Game&)> draw;
    std::vector<std::string> texts; // Chinese texts it must show in English
};

std::vector<Scene> scenes() {
    std::vector<Scene> all;
    for (auto& made : testing_support::catalogueCards()) {
        std::shared_ptr<Card> card(std::move(made));
        std::string name = platform::gbkToUtf8(card->name);
        std::vector<std::string> texts{card->name};
        if (!card->detail.empty()) texts.push_back(card->detail);
        // In the hand, under the pointer: the large view.
        all.push_back({name + " in the hand", [card](Game& g) {
                           pointAt(g, CardPos[0].x + 40, CardPos[0].y + 40);
                           card->print(&g, 0);
                       },
                       texts});
        auto* minion = dynamic_cast<MinionCard*>(card.get());
        if (!minion) continue;
        // On the board of either side, under the pointer: the minion's own large view.
        for (int slot : {6, 15}) {
            all.push_back({name + " on the board in slot " + std::to_string(slot),
                           [card, minion, slot](Game& g) {
                               minion->genMinion(&g, slot, slot > 10);
                               Character* on = g.battle.c[slot];
                               on->nowhp = 1; // damaged: the health is drawn red
                               pointAt(g, CharPos[slot].x, CharPos[slot].y);
                               on->print(&g);
                           },
                           texts});
        }
    }
    all.push_back({"the battle screen with two-digit counts", [](Game& g) {
                       Battle& b = g.battle;
                       b.opCard.resize(8); // a hand holds at most eight
                       b.myDeck.resize(34);
                       b.opDeck.resize(30);
                       b.mySp = b.mySpMax = b.opSp = b.opSpMax = 10;
                       b.printBattle(&g, false);
                       b.opCard.clear();
                       b.myDeck.clear();
                       b.opDeck.clear();
                   },
                   {"对手手牌×", "×"}});
    all.push_back({"the end screen's prompt",
                   [](Game& g) { EText("按空格键返回……", WHITE, true, 0, 0, 512, 32).print(&g, 756, 600); },
                   {"按空格键返回……"}});
    all.push_back({"the end screen's prompt on a touch screen",
                   [](Game& g) { EText("轻触或按空格键返回……", WHITE, true, 0, 0, 512, 32).print(&g, 756, 600); },
                   {"轻触或按空格键返回……"}});
    all.push_back({"the lobby's button", [](Game& g) {
                       EButton button(870, 430, "b_adv");
                       button.init(&g, "冒险模式", 0xFFFF00, true, 0, 0, 0, 32);
                       button.show(&g);
                   },
                   {"冒险模式"}});
    return all;
}

class EnglishFit : public ::testing::TestWithParam<double> {
protected:
    Game game;
    testing_support::EnglishChosen chosen{game};

    void SetUp() override {
        headless::enable();
        game.rate = GetParam();
        game.loadAssets();
        initgraph((int)(1512 * game.rate), (int)(1024 * game.rate));
        BeginBatchDraw();
        setbkmode(TRANSPARENT);
        game.battle.c[0] = new MainHero(1, "my_main", 0, false, 0, 30, "浮游城");
        game.battle.c[1] = new MainHero(2, "op_main", 1, true, 0, 30, "你的敌人");
        for (int i = 2; i < 20; ++i) game.battle.c[i] = new Character(0, i, i > 10);
        game.status = FREE;
    }
    void TearDown() override { reclaimMatchObjects(); }
};

TEST_P(EnglishFit, EveryTextShowsWholeInItsBox) {
    for (const Scene& scene : scenes()) {
        SCOPED_TRACE(scene.what);
        testing_support::TextWatch watch;
        scene.draw(game);
        std::vector<std::string> drawn;
        for (const WrittenText& t : watch.texts()) {
            drawn.push_back(t.gbk);
            EXPECT_TRUE(testing_support::plainAscii(t.gbk)) << platform::gbkToUtf8(t.gbk);
            EXPECT_TRUE(showsWhole(t)) << t.gbk;
        }
        for (const std::string& chinese : scene.texts) {
            const char* english = englishEntry(chinese);
            ASSERT_NE(english, nullptr) << platform::gbkToUtf8(chinese);
            bool shown = std::any_of(drawn.begin(), drawn.end(),
                                     [&](const std::string& d) { return d.rfind(english, 0) == 0; });
            EXPECT_TRUE(shown) << english;
        }
        EXPECT_TRUE(untranslatedTexts().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, EnglishFit, ::testing::Values(0.5, 0.75, 1.0),
                         [](const testing::TestParamInfo<double>& info) {
                             return "Rate" + std::to_string((int)(info.param * 100));
                         });

} // namespace
