#include "support/test_catalogue.h"

#include <memory>

#include "game/game.h"
#include "render/assets.h"
#include "render/surface_internal.h"

namespace testing_support {

const std::vector<TestPicture>& testPictures() {
    static const std::vector<TestPicture> pictures = {
        {"lobby", 1512, 1024},   {"bg", 1512, 1024},        {"b_adv", 200, 200},     {"et", 178, 128},
        {"ot", 178, 128},        {"ec", 178, 128},          {"sp", 48, 50},          {"sp_x", 48, 50},
        {"card", 82, 112},       {"win", 640, 300},         {"lose", 640, 300},      {"card_bg", 82, 112},
        {"card_bg_l", 264, 476}, {"card_com", 82, 112},     {"card_rare", 82, 112},  {"card_epic", 82, 112},
        {"card_len", 82, 112},   {"card_com_l", 328, 540},  {"card_rare_l", 328, 540}, {"card_epic_l", 328, 540},
        {"card_len_l", 328, 540}, {"sp2", 46, 46},          {"atk", 44, 44},         {"hp", 44, 44},
        {"atk+", 72, 72},        {"hp+", 72, 72},           {"sp+", 72, 72},         {"cho", 48, 40},
        {"ava", 48, 40},         {"set", 48, 40},           {"c_del", 64, 64},       {"taunt", 112, 132},
        {"min_g", 100, 124},     {"min_gi", 92, 118},       {"min_n", 100, 124},     {"min_ni", 92, 118},
        {"revive", 100, 124},    {"shield", 100, 124},      {"immune", 100, 124},    {"lifesteal", 36, 36},
        {"heal", 40, 40},        {"p_atk", 64, 64},         {"my_main", 150, 150},   {"op_main", 150, 150},
        {"c_newbie", 82, 112},   {"c_hana", 82, 112},       {"c_priscilla", 82, 112}, {"c_claude", 82, 112},
        {"c_fprincess", 82, 112}, {"c_ara", 82, 112},       {"c_ara_tentacle", 82, 112}, {"c_hit", 82, 112},
        {"c_newbie_l", 264, 264}, {"c_hana_l", 264, 264},   {"c_priscilla_l", 264, 264}, {"c_claude_l", 264, 264},
        {"c_fprincess_l", 264, 264}, {"c_ara_l", 264, 264}, {"c_ara_tentacle_l", 264, 264}, {"c_hit_l", 264, 264},
    };
    return pictures;
}

uint32_t colourOf(const std::string& id) {
    const auto& pictures = testPictures();
    for (size_t i = 0; i < pictures.size(); ++i) {
        if (id != pictures[i].id) continue;
        // Spread the colours over the cube, away from black, white and grey.
        uint32_t n = (uint32_t)i + 1;
        uint32_t r = 40 + (n * 37) % 180, g = 30 + (n * 73) % 190, b = 20 + (n * 113) % 200;
        if (r == g && g == b) b += 7;
        return r << 16 | g << 8 | b;
    }
    return 0x010203;
}

void loadSolidCatalogue(Game& game) {
    static std::vector<std::unique_ptr<AssetPic>> store;
    for (const TestPicture& p : testPictures()) {
        auto pic = std::make_unique<AssetPic>();
        pic->height = (int)(p.across * game.rate);
        pic->width = (int)(p.down * game.rate);
        Surface& s = pic->img.surface;
        s.width = pic->height;
        s.height = pic->width;
        s.pixels.assign((size_t)s.width * s.height, colourOf(p.id));
        computeKeyedRuns(s, KEY_COLOUR);
        game.pmap[p.id] = pic.get();
        store.push_back(std::move(pic));
    }
}

} // namespace testing_support
