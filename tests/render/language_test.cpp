// English as the language of the window's words: the built-in catalogue against the program's own
// texts, the lookup where text reaches the surface, the pictures that carry words; and Chinese, the
// default, drawn byte for byte as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "battle_fixture.h"
#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "render/assets.h"
#include "render/easyx_con.h"
#include "render/language.h"
#include "support/catalogue_cards.h"
#include "support/english.h"
#include "support/png_bytes.h"
#include "support/temp_dir.h"
#include "support/written_text.h"

using testing_support::catalogueCards;
using testing_support::EnglishChosen;
using testing_support::TextWatch;

namespace {

// The one English word of each keyword, as the rules texts mark it.
const std::map<std::string, std::string> KEYWORDS = {
    {"【复生】", "[Revive]"},       {"【圣盾】", "[Shield]"}, {"【免疫】", "[Immunity]"},
    {"【吸血】", "[Lifesteal]"}, {"【嘲讽】", "[Taunt]"},  {"【战吼】", "[Warcry]"},
};

// Every piece of `text` from `open` to the next `close`, marks included, sorted.
std::vector<std::string> marked(const std::string& text, const std::string& open, const std::string& close) {
    std::vector<std::string> pieces;
    for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1)) {
        size_t end = text.find(close, at);
        if (end == std::string::npos) break;
        pieces.push_back(text.substr(at, end + close.size() - at));
    }
    std::sort(pieces.begin(), pieces.end());
    return pieces;
}

std::string english(const std::string& gbk) {
    const char* e = englishEntry(gbk);
    return e ? e : "";
}

// The catalogue is keyed by the very bytes the program draws (these literals are compiled as the
// game's are), and every English text is plain ASCII.
TEST(EnglishCatalogue, EveryCardAndHeroTextHasAnAsciiEntry) {
    std::vector<std::string> texts = {"浮游城", "你的敌人"};
    for (const auto& card : catalogueCards()) {
        texts.push_back(card->name);
        if (!card->detail.empty()) texts.push_back(card->detail);
    }
    for (const std::string& gbk : texts) {
        SCOPED_TRACE(platform::gbkToUtf8(gbk));
        ASSERT_NE(englishEntry(gbk), nullptr);
        EXPECT_TRUE(testing_support::plainAscii(english(gbk)));
        EXPECT_FALSE(english(gbk).empty());
    }
    EXPECT_EQ(englishEntry("这不是游戏里的字"), nullptr);
}

// A keyword reads the same word wherever it stands, and a card named in a rules text reads as that
// card's own name.
TEST(EnglishCatalogue, KeywordsAndNamedCardsReadTheSameEverywhere) {
    std::map<std::string, std::string> names;
    for (const auto& card : catalogueCards()) names[card->name] = english(card->name);
    for (const auto& card : catalogueCards()) {
        if (card->detail.empty()) continue;
        SCOPED_TRACE(platform::gbkToUtf8(card->detail));
        std::string rules = english(card->detail);
        std::vector<std::string> expected;
        for (const std::string& k : marked(card->detail, "【", "】")) {
            ASSERT_EQ(KEYWORDS.count(k), 1u) << "a keyword with no English word: " << platform::gbkToUtf8(k);
            expected.push_back(KEYWORDS.at(k));
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(marked(rules, "[", "]"), expected);
        std::vector<std::string> named;
        for (const std::string& n : marked(card->detail, "<", ">")) {
            std::string inner = n.substr(1, n.size() - 2);
            ASSERT_EQ(names.count(inner), 1u) << "names no card: " << platform::gbkToUtf8(inner);
            named.push_back("<" + names[inner] + ">");
        }
        std::sort(named.begin(), named.end());
        EXPECT_EQ(marked(rules, "<", ">"), named);
    }
}

class Lookup : public BattleScreen {};

// With no language chosen, every text reaches drawtext exactly as the game made it.
TEST_F(Lookup, ChineseDrawsEveryTextByteForByte) {
    ASSERT_EQ(game.language, Language::CHINESE);
    open(0.5);
    std::vector<std::string> texts = {"按空格键返回……", "冒险模式", "没有这个词"};
    for (const auto& card : catalogueCards()) texts.insert(texts.end(), {card->name, card->detail});
    TextWatch watch;
    for (const std::string& t : texts) EText(t, WHITE, true, 0, 0, 200, 32).print(&game, 100, 100);
    game.battle.opCard.resize(3);
    frame();
    game.battle.opCard.clear();
    std::vector<std::string> drawn;
    for (const auto& w : watch.texts()) drawn.push_back(w.gbk);
    // The battle screen's own texts, in the order it draws them: mana, piles, the heroes' health.
    texts.insert(texts.end(), {"0/0", "0/0", "×0", "×0", "对手手牌×3", "30", "30"});
    EXPECT_TRUE(drawn == texts);
    EXPECT_TRUE(untranslatedTexts().empty());
}

// A Chinese text the catalogue lacks is drawn as it is and noted once, so that tests find it; plain
// ASCII (numbers) needs no entry, and in Chinese nothing is noted.
TEST_F(Lookup, AChineseTextWithoutAnEntryIsDrawnAsItIsAndNoted) {
    open(0.5);
    TextWatch watch;
    {
        EnglishChosen chosen(game);
        for (const char* t : {"没有这个词", "12/30", "没有这个词"}) EText(t, WHITE, true, 0, 0, 200, 32).print(&game, 100, 100);
        ASSERT_EQ(watch.texts().size(), 3u);
        EXPECT_EQ(watch.texts()[0].gbk, "没有这个词");
        EXPECT_EQ(untranslatedTexts(), std::vector<std::string>{"没有这个词"});
    }
    EText("没有这个词", WHITE, true, 0, 0, 200, 32).print(&game, 100, 100);
    EXPECT_TRUE(untranslatedTexts().empty());
}

// ---- pictures that carry words ---------------------------------------------------------------

enum class Variant { NONE, PICTURE, FOLDER }; // what asset/en/ holds for the stem

struct PictureCase {
    const char* name;
    Language chosen;
    Variant english;
    bool drawsEnglish;
};

class EnglishPictures : public ::testing::TestWithParam<PictureCase> {
protected:
    void TearDown() override {
        useDefaultAssetSearchPlaces();
    }
};

constexpr uint32_t CHINESE_COLOUR = 0x40A040, ENGLISH_COLOUR = 0x4040C0;

TEST_P(EnglishPictures, TheEnglishVariantStandsInOnlyInEnglish) {
    const PictureCase& k = GetParam();
    platform::headless::enable();
    initgraph(16, 16, 0);
    BeginBatchDraw();
    testing_support::TempWorkDir dir;
    std::filesystem::create_directories("asset/en");
    dir.write("asset/size.ini", "1\n8 8\n");
    dir.write("asset/content.ini", "et et\n");
    testing_support::writeSolidPng("asset/et.png", 8, 8, 0xFF000000 | CHINESE_COLOUR);
    if (k.english == Variant::PICTURE)
        testing_support::writeSolidPng("asset/en/et.png", 4, 4, 0xFF000000 | ENGLISH_COLOUR);
    if (k.english == Variant::FOLDER) std::filesystem::create_directories("asset/en/et.png");
    setAssetSearchPlaces({"./asset"});
    Game game;
    game.language = k.chosen;
    game.rate = 1.0;
    testing::internal::CaptureStderr();
    game.loadAssets();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(game.pmap.count("et"), 1u);
    EXPECT_EQ(game.pmap["et"]->img.getwidth(), 8) << "the size comes from size.ini whichever file is read";
    game.printPic("et", 0, 0, 0);
    FlushBatchDraw();
    EXPECT_EQ(platform::headless::pixel(7, 7), k.drawsEnglish ? ENGLISH_COLOUR : CHINESE_COLOUR);
}

const PictureCase PICTURE_CASES[] = {
    {"EnglishTakesTheVariant", Language::ENGLISH, Variant::PICTURE, true},
    {"ChineseKeepsItsOwn", Language::CHINESE, Variant::PICTURE, false},
    {"EnglishWithoutAVariantKeepsThePicture", Language::ENGLISH, Variant::NONE, false},
    {"AFolderInThePlaceOfTheVariantIsPassedOver", Language::ENGLISH, Variant::FOLDER, false},
};

INSTANTIATE_TEST_SUITE_P(Variants, EnglishPictures, ::testing::ValuesIn(PICTURE_CASES),
                         [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

} // namespace
