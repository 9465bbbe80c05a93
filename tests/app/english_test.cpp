// The game in English, as a player meets it: from the lobby through a whole match to the end screen
// and back, and the window shown without pictures. Every text written is plain ASCII, none is a
// Chinese text the catalogue lacks, and each shows whole in its box.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "game/game.h"
#include "app/lobby.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "render/assets.h"
#include "render/language.h"
#include "support/english.h"
#include "support/game_window.h"
#include "support/scripted_player.h"
#include "support/temp_dir.h"
#include "support/written_text.h"

namespace headless = platform::headless;
using testing_support::plainAscii;
using testing_support::WrittenText;

namespace {

std::string inEnglish(const std::string& chinese) {
    const char* english = englishEntry(chinese);
    return english ? english : "(no English for " + platform::gbkToUtf8(chinese) + ")";
}

class English : public testing_support::GameWindowTest {
protected:
    testing_support::EnglishChosen chosen{game};
    testing_support::TextWatch watch;

    void TearDown() override {
        GameWindowTest::TearDown();
        useDefaultAssetSearchPlaces();
    }

    // Each text once per box and style it was written in.
    std::vector<WrittenText> distinct() const {
        std::set<std::tuple<std::string, long, long, long, long, int>> seen;
        std::vector<WrittenText> texts;
        for (const WrittenText& t : watch.texts())
            if (seen.emplace(t.gbk, t.box.left, t.box.top, t.box.right, t.box.bottom, t.style.height).second)
                texts.push_back(t);
        return texts;
    }

    bool written(const std::string& text) const {
        const auto& all = watch.texts();
        return std::any_of(all.begin(), all.end(), [&](const WrittenText& t) { return t.gbk == text; });
    }

    void expectAsciiAndWhole() const {
        ASSERT_FALSE(watch.texts().empty());
        for (const std::string& t : untranslatedTexts()) ADD_FAILURE() << "no English for " << platform::gbkToUtf8(t);
        for (const WrittenText& t : distinct()) {
            EXPECT_TRUE(plainAscii(t.gbk)) << platform::gbkToUtf8(t.gbk);
            EXPECT_TRUE(showsWhole(t)) << t.gbk;
        }
    }
};

TEST_F(English, AMatchFromTheLobbyToTheEndScreenWritesOnlyAsciiThatShowsWhole) {
    open(0.5);
    testing_support::ScriptedPlayer player(game, testing_support::PlayerStyle{});
    player.useLobby(1);
    player.attach();
    headless::setSeed(1);
    EXPECT_THROW(runLobby(game), platform::WindowClosed);
    player.detach();
    ASSERT_TRUE(player.record().faults.empty()) << player.record().faults.front();
    ASSERT_EQ(player.record().wins + player.record().losses, 1) << "played to the end screen";
    expectAsciiAndWhole();
    for (const char* chinese : {"冒险模式", "按空格键返回……"}) EXPECT_TRUE(written(inEnglish(chinese))) << chinese;
    EXPECT_TRUE(written(inEnglish("对手手牌×") + "4")) << "the opponent's opening hand";
    EXPECT_TRUE(written(inEnglish("×") + "30")) << "the player's deck after the deal";
    EXPECT_TRUE(written(inEnglish("坎特伯雷新兵"))) << "the large view of a card the player took up";
}

TEST_F(English, TheWindowWithoutPicturesWritesOnlyAsciiThatShowsWhole) {
    for (bool folderFound : {false, true}) {
        SCOPED_TRACE(folderFound);
        open(0.5);
        watch.clear();
        testing_support::TempWorkDir dir;
        if (folderFound) {
            dir.write("asset/size.ini", "1\n4 4\n");
            dir.write("asset/content.ini", "l lobby\n");
        }
        setAssetSearchPlaces({"./asset", "./elsewhere"});
        testing::internal::CaptureStderr();
        game.loadAssets();
        testing::internal::GetCapturedStderr();
        headless::setCallback([] {
            if (headless::sleepCount() > 0) headless::closeWindow();
        });
        EXPECT_THROW(runMissingPictures(game), platform::WindowClosed);
        expectAsciiAndWhole();
        EXPECT_TRUE(written(inEnglish("关闭窗口即可退出 / Close the window to quit.")));
    }
}

} // namespace
