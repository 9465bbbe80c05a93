// The baked pictures: every identifier the game draws is in the index files with a picture of the
// listed size, transparency is the key colour and nothing else, the English variants of the pictures
// with words stand in for pictures of their size, and the catalogue loads silently at every window
// scale in either language.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "render/assets.h"
#include "support/english.h"

namespace {

constexpr uint32_t KEY = 0xFF7F7F7F;

struct IndexEntry {
    std::string stem, id;
    int across = 0, down = 0;
};

// The two index files read side by side, as the loader pairs them.
std::vector<IndexEntry> readIndex() {
    std::ifstream size("asset/size.ini"), content("asset/content.ini");
    std::vector<IndexEntry> entries;
    int n = -1;
    if (!(size >> n)) return entries;
    for (int i = 0; i < n; ++i) {
        IndexEntry e;
        if (!(size >> e.across >> e.down) || !(content >> e.stem >> e.id)) break;
        entries.push_back(e);
    }
    return entries;
}

platform::RgbaPicture decode(const std::string& path) {
    platform::RgbaPicture p;
    std::string error;
    EXPECT_TRUE(platform::decodePng(path, p, error)) << path << ": " << error;
    return p;
}

const std::vector<std::string>& drawnIdentifiers() {
    static const std::vector<std::string> ids = {
        "lobby", "b_adv", "bg", "et", "ot", "ec", "sp", "sp_x", "card", "win", "lose", "card_bg", "card_bg_l",
        "card_com", "card_rare", "card_epic", "card_len", "card_com_l", "card_rare_l", "card_epic_l", "card_len_l",
        "sp2", "atk", "hp", "atk+", "hp+", "sp+", "cho", "ava", "set", "c_del", "taunt", "min_g", "min_gi", "min_n",
        "min_ni", "revive", "shield", "immune", "lifesteal", "heal", "p_atk", "c_newbie", "c_hana", "c_priscilla",
        "c_claude", "c_fprincess", "c_ara", "c_ara_tentacle", "c_hit", "c_newbie_l", "c_hana_l", "c_priscilla_l",
        "c_claude_l", "c_fprincess_l", "c_ara_l", "c_ara_tentacle_l", "c_hit_l", "my_main", "op_main",
    };
    return ids;
}

TEST(ArtCatalogue, EveryDrawnIdentifierHasOnePictureOfItsListedSize) {
    std::vector<IndexEntry> index = readIndex();
    int listed = 0;
    std::ifstream("asset/size.ini") >> listed;
    ASSERT_EQ((int)index.size(), listed) << "the index files end before their count";
    std::map<std::string, IndexEntry> byId;
    std::set<std::string> stems;
    for (const IndexEntry& e : index) {
        EXPECT_TRUE(byId.emplace(e.id, e).second) << "identifier listed twice: " << e.id;
        EXPECT_TRUE(stems.insert(e.stem).second) << "file stem listed twice: " << e.stem;
        platform::RgbaPicture p = decode("asset/" + e.stem + ".png");
        EXPECT_EQ(p.width, e.across) << e.id;
        EXPECT_EQ(p.height, e.down) << e.id;
    }
    for (const std::string& id : drawnIdentifiers()) EXPECT_EQ(byId.count(id), 1u) << "no picture for " << id;
}

TEST(ArtCatalogue, LayersDrawnFromOneCornerShareTheirSize) {
    std::map<std::string, IndexEntry> byId;
    for (const IndexEntry& e : readIndex()) byId[e.id] = e;
    auto expectSize = [&](const std::string& id, int across, int down) {
        ASSERT_EQ(byId.count(id), 1u) << id;
        EXPECT_EQ(byId[id].across, across) << id;
        EXPECT_EQ(byId[id].down, down) << id;
    };
    for (const char* id : {"lobby", "bg"}) expectSize(id, 1512, 1024);
    for (const char* id : {"card", "card_bg", "card_com", "card_rare", "card_epic", "card_len"}) expectSize(id, 82, 112);
    for (const char* id : {"card_com_l", "card_rare_l", "card_epic_l", "card_len_l"}) expectSize(id, 328, 540);
    expectSize("card_bg_l", 264, 476);
    for (const char* id : {"et", "ot", "ec"}) expectSize(id, 178, 128);
    for (const char* card : {"c_newbie", "c_hana", "c_priscilla", "c_claude", "c_fprincess", "c_ara", "c_ara_tentacle",
                             "c_hit"}) {
        expectSize(card, 82, 112);
        expectSize(std::string(card) + "_l", 264, 264);
    }
    // The button's caption is centred with its sizes crossed over: only a square keeps it centred.
    EXPECT_EQ(byId["b_adv"].across, byId["b_adv"].down);
}

// Pixels are either the key (where the rendered source was mostly transparent) or opaque colour
// that is never the key, and the full-window pictures have no key at all.
TEST(ArtCatalogue, TheKeyColourMarksExactlyTheTransparentPixels) {
    for (const IndexEntry& e : readIndex()) {
        platform::RgbaPicture baked = decode("asset/" + e.stem + ".png");
        platform::RgbaPicture source = decode("art/rendered/" + e.stem + ".png");
        ASSERT_EQ(baked.pixels.size(), source.pixels.size()) << e.id;
        int wrong = 0, keyed = 0;
        for (size_t i = 0; i < baked.pixels.size(); ++i) {
            uint32_t p = baked.pixels[i];
            bool transparent = (source.pixels[i] >> 24) < 128;
            if ((p >> 24) != 0xFF || (p == KEY) != transparent) ++wrong;
            keyed += p == KEY;
        }
        EXPECT_EQ(wrong, 0) << e.id << ": pixels whose key does not match the source's transparency";
        if (e.id == "bg" || e.id == "lobby") {
            EXPECT_EQ(keyed, 0) << e.id << " must be fully opaque";
        }
    }
}

// The pictures that carry words have English variants in asset/en/, each standing in for a picture
// of the catalogue: of its size, keyed as the pictures are, and no index files of their own.
TEST(ArtCatalogue, EnglishVariantsStandInForPicturesOfTheirSize) {
    std::map<std::string, IndexEntry> byStem;
    for (const IndexEntry& e : readIndex()) byStem[e.stem] = e;
    std::set<std::string> english;
    for (const auto& file : std::filesystem::directory_iterator("asset/en")) {
        std::string stem = file.path().stem().string();
        SCOPED_TRACE(file.path().string());
        ASSERT_EQ(file.path().extension(), ".png") << "only pictures";
        ASSERT_EQ(byStem.count(stem), 1u) << "stands in for no picture of the catalogue";
        platform::RgbaPicture baked = decode(file.path().string());
        platform::RgbaPicture source = decode("art/rendered/en/" + stem + ".png");
        EXPECT_EQ(baked.width, byStem[stem].across);
        EXPECT_EQ(baked.height, byStem[stem].down);
        ASSERT_EQ(baked.pixels.size(), source.pixels.size());
        int wrong = 0;
        for (size_t i = 0; i < baked.pixels.size(); ++i)
            wrong += (baked.pixels[i] == KEY) != ((source.pixels[i] >> 24) < 128);
        EXPECT_EQ(wrong, 0) << "pixels whose key does not match the source's transparency";
        english.insert(stem);
    }
    EXPECT_EQ(english, (std::set<std::string>{"ec", "et", "lose", "ot", "win"})) << "the pictures with words";
}

TEST(ArtCatalogue, LoadsSilentlyAtEveryWindowScale) {
    std::vector<IndexEntry> index = readIndex();
    ASSERT_FALSE(index.empty());
    // In English too, where the pictures with words come from asset/en/.
    for (bool english : {false, true}) {
        SCOPED_TRACE(english ? "in English" : "in Chinese");
        for (double rate : {1.0, 0.75, 0.5}) {
            Game game;
            game.language = english ? Language::ENGLISH : Language::CHINESE;
            game.rate = rate;
            testing::internal::CaptureStdout();
            testing::internal::CaptureStderr();
            game.loadAssets();
            std::string out = testing::internal::GetCapturedStdout(), err = testing::internal::GetCapturedStderr();
            EXPECT_EQ(out, "") << "at rate " << rate;
            EXPECT_EQ(err, "") << "at rate " << rate;
            for (const IndexEntry& e : index) {
                ASSERT_EQ(game.pmap.count(e.id), 1u) << e.id;
                const AssetPic* pic = game.pmap[e.id];
                EXPECT_EQ(pic->img.getwidth(), (int)(e.across * rate)) << e.id << " at rate " << rate;
                EXPECT_EQ(pic->img.getheight(), (int)(e.down * rate)) << e.id << " at rate " << rate;
            }
            // A frame that starts with an opaque full-window picture can be skipped when it repeats.
            EXPECT_TRUE(game.pmap["bg"]->img.surface.opaque) << "at rate " << rate;
            EXPECT_TRUE(game.pmap["lobby"]->img.surface.opaque) << "at rate " << rate;
        }
    }
}

} // namespace
