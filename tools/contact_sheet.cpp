// Looks at the art the way the game shows it: every catalogue picture on one sheet, the large view
// of every card, and composed screens (battle, opening exchange, opponent's turn, placing a minion,
// end screens, lobby) placed where the game places them, drawn through the game's own surface and
// catalogue at the three window scales, in Chinese and in English.
//
//   contact_sheet [output folder]      run from the folder that holds asset/ (the build folder)
//
// Writes <folder>/<scene>_<percent>.png and, in English, <folder>/<scene>_en_<percent>.png; the
// folder defaults to "contact_sheet".
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "card/card.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "render/assets.h"
#include "render/language.h"
#include "render/layout.h"
#include "render/surface.h"

namespace {

constexpr COLORREF TEXT_WHITE = 0xFFFFFF;
constexpr COLORREF TEXT_BLACK = 0x000000;
constexpr COLORREF TEXT_RED = 0x4040FF;  // damaged health
constexpr COLORREF TEXT_CYAN = 0xFFFF00; // the lobby button's caption

// A bold text box centred on (cx, cy), in reference units, set the way the game sets its text:
// a 32-unit font whatever the box (the sheet's captions use a smaller one), in the chosen language.
void label(Game& g, const std::string& gbk, COLORREF colour, int cx, int cy, int w, int h, int font = 32) {
    settextstyle(h, 0, g.font.c_str());
    settextcolor(colour);
    double r = g.rate;
    RECT box{(LONG)(r * (cx - w / 2)), (LONG)(r * (cy - h / 2)), (LONG)(r * (cx + w / 2)), (LONG)(r * (cy + h / 2))};
    LOGFONT f;
    gettextstyle(&f);
    f.lfQuality = ANTIALIASED_QUALITY;
    f.lfHeight = (LONG)(font * r);
    f.lfWidth = (LONG)(font / 2 * r);
    f.lfWeight = 1000;
    settextstyle(&f);
    drawtext(shownText(g.language, gbk).c_str(), &box, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
}

struct Token {
    std::string pid;
    int rarity;
    int keywords;
    int atk, hp, maxHp;
};

void drawMinion(Game& g, int slot, const Token& t) {
    int x = CharPos[slot].x, y = CharPos[slot].y;
    if (t.keywords & TAUNT) g.printPic("taunt", x, y, 4);
    g.printPic(t.rarity == 3 ? "min_g" : "min_n", x, y, 4);
    g.printPic(t.rarity == 3 ? "min_gi" : "min_ni", x, y, 4);
    g.printPic(t.pid, x, y, 4);
    if (t.keywords & REVIVE) g.printPic("revive", x, y, 4);
    if (t.keywords & SHIELD) g.printPic("shield", x, y, 4);
    if (t.keywords & IMMUNE) g.printPic("immune", x, y, 4);
    if (t.keywords & LIFESTEAL) g.printPic("lifesteal", x, y + 50, 4);
    g.printPic("atk", x - 40, y + 40, 4);
    label(g, std::to_string(t.atk), TEXT_WHITE, x - 40, y + 40, 40, 32);
    g.printPic("hp", x + 40, y + 40, 4);
    label(g, std::to_string(t.hp), t.hp < t.maxHp ? TEXT_RED : TEXT_WHITE, x + 40, y + 40, 40, 32);
}

void drawHero(Game& g, int slot, const std::string& pid, int hp) {
    int x = CharPos[slot].x, y = CharPos[slot].y;
    g.printPic(pid, x, y, 4);
    g.printPic("hp+", x + 40, y + 40, 4);
    label(g, std::to_string(hp), hp < 30 ? TEXT_RED : TEXT_WHITE, x + 40, y + 40, 40, 32);
}

struct HandCard {
    std::string pid;
    int rarity;
    int cost, atk, hp; // atk < 0: a spell
};

const char* const RARITY_FRAME[4] = {"card_com", "card_rare", "card_epic", "card_len"};

void drawHandCard(Game& g, int pos, const HandCard& c) {
    int x = CardPos[pos].x, y = CardPos[pos].y;
    g.printPic("card_bg", x, y, 0);
    g.printPic(c.pid, x, y, 0);
    g.printPic(RARITY_FRAME[c.rarity], x, y, 0);
    g.printPic("sp2", x + 41, y + 142, 4);
    if (c.atk >= 0) {
        g.printPic("atk", x, y + 112, 4);
        g.printPic("hp", x + 82, y + 112, 4);
    }
    label(g, std::to_string(c.cost), TEXT_BLACK, x + 41, y + 142, 46, 32);
    if (c.atk >= 0) {
        label(g, std::to_string(c.atk), TEXT_WHITE, x, y + 112, 46, 32);
        label(g, std::to_string(c.hp), TEXT_WHITE, x + 82, y + 112, 46, 32);
    }
}

struct LargeCard {
    std::string pid;
    int rarity;
    int cost, atk, hp, maxHp; // atk < 0: a spell
    std::string name, detail; // GBK
};

void drawLarge(Game& g, const LargeCard& c, int x = 1130, int y = 114) {
    g.printPic("card_bg_l", x + 32, y + 32, 0);
    g.printPic(c.pid + "_l", x + 32, y + 32, 0);
    g.printPic(std::string(RARITY_FRAME[c.rarity]) + "_l", x, y, 0);
    if (c.atk >= 0) {
        g.printPic("atk+", x, y + 494, 4);
        g.printPic("hp+", x + 328, y + 494, 4);
    }
    g.printPic("sp+", x, y, 4);
    if (c.atk >= 0) {
        label(g, std::to_string(c.atk), TEXT_WHITE, x, y + 494, 46, 32);
        label(g, std::to_string(c.hp), c.hp < c.maxHp ? TEXT_RED : TEXT_WHITE, x + 328, y + 494, 46, 32);
    }
    label(g, std::to_string(c.cost), TEXT_WHITE, x, y, 46, 32);
    label(g, c.detail, TEXT_BLACK, x + 164, y + 390, 260, 140);
    label(g, c.name, TEXT_WHITE, x + 164, y + 520, 330, 32);
}

// The fixed furniture of the battle screen: background, mana, piles and their counts.
void drawTable(Game& g, const char* turnButton, int mySp, int mySpMax) {
    g.printPic("bg", 0, 0, 0);
    if (turnButton) g.printPic(turnButton, 1132, 512, 3);
    for (int i = 1; i <= mySpMax; ++i) g.printPic(i <= mySp ? "sp" : "sp_x", 24, 700 - 55 * i, 6);
    label(g, std::to_string(mySp) + "/" + std::to_string(mySpMax), TEXT_WHITE, 48, 690, 128, 32);
    g.printPic("sp", 910, 100, 4);
    label(g, "6/9", TEXT_WHITE, 1006, 100, 128, 32);
    g.printPic("card", 1142, 720, 0);
    // The counts are made as the game makes them: the label in the chosen language, then the number.
    label(g, shownText(g.language, "×") + "21", TEXT_WHITE, 1270, 810, 128, 32);
    g.printPic("card", 1142, 188, 0);
    label(g, shownText(g.language, "×") + "23", TEXT_WHITE, 1270, 278, 128, 32);
    g.printPic("card", 76, 50, 0);
    label(g, shownText(g.language, "对手手牌×") + "5", TEXT_WHITE, 278, 105, 212, 32);
}

const std::vector<HandCard>& fullHand() {
    static const std::vector<HandCard> hand = {
        {"c_ara", 3, 7, 3, 6},     {"c_fprincess", 3, 7, 3, 10}, {"c_priscilla", 3, 5, 3, 6}, {"c_hana", 3, 4, 6, 4},
        {"c_claude", 3, 10, 19, 88}, {"c_hit", 1, 2, -1, -1},    {"c_ara_tentacle", 1, 1, 1, 2}, {"c_newbie", 0, 1, 2, 1},
    };
    return hand;
}

// A full board in the middle of the player's attack (so no turn button): every keyword, both rings,
// damaged health, two-digit numbers on every kind of badge, the longest rules text in the large view.
void battleScene(Game& g) {
    drawTable(g, nullptr, 7, 10);
    drawHero(g, 0, "my_main", 27);
    drawHero(g, 1, "op_main", 30);
    const Token mine[9] = {
        {"c_newbie", 0, 0, 2, 1, 1},        {"c_hana", 3, REVIVE, 6, 4, 4},      {"c_priscilla", 3, LIFESTEAL, 3, 4, 6},
        {"c_fprincess", 3, TAUNT | SHIELD, 13, 12, 15}, {"c_claude", 3, LIFESTEAL, 9, 9, 9}, {"c_ara", 3, 0, 3, 6, 6},
        {"c_ara_tentacle", 1, 0, 1, 2, 2},  {"c_hana", 3, IMMUNE, 6, 4, 4},      {"c_newbie", 0, TAUNT, 2, 1, 1},
    };
    const Token theirs[9] = {
        {"c_newbie", 0, 0, 2, 1, 1},       {"c_ara_tentacle", 1, 0, 1, 1, 2}, {"c_newbie", 0, TAUNT, 2, 1, 1},
        {"c_newbie", 0, SHIELD, 2, 1, 1},  {"c_claude", 3, IMMUNE | LIFESTEAL, 9, 5, 9}, {"c_newbie", 0, REVIVE, 2, 1, 1},
        {"c_fprincess", 3, TAUNT | SHIELD | REVIVE | IMMUNE | LIFESTEAL, 40, 10, 14}, {"c_newbie", 0, 0, 2, 1, 1},
        {"c_ara_tentacle", 1, 0, 1, 2, 2},
    };
    for (int i = 0; i < 9; ++i) drawMinion(g, 2 + i, mine[i]);
    for (int i = 0; i < 9; ++i) drawMinion(g, 11 + i, theirs[i]);
    // The attacker (slot 6) is chosen; the taunting enemies are the targets, one under the pointer.
    for (int s : {2, 3, 4, 5, 7, 8, 9, 10}) g.printPic("ava", CharPos[s].x, CharPos[s].y - 40, 7);
    g.printPic("set", CharPos[6].x, CharPos[6].y - 40, 7);
    g.printPic("ava", CharPos[13].x, CharPos[13].y - 40, 7);
    g.printPic("cho", CharPos[17].x, CharPos[17].y - 40, 7);
    const auto& hand = fullHand();
    for (int i = 0; i < 8; ++i) drawHandCard(g, i, hand[i]);
    // Effects in flight: a heal rising off the hero, a strike landing on slot 15.
    g.printPic("heal", CharPos[0].x, CharPos[0].y - 20, 4);
    g.printPic("p_atk", CharPos[15].x + 10, CharPos[15].y + 10, 4);
    drawLarge(g, {"c_priscilla", 3, 10, 18, 11, 16, "半吸血鬼，普莉希拉",
                  "【吸血】。【战吼】将<恶魔郡伯爵，克劳德>置入你的手牌"});
}

// The opening exchange: four cards, two marked, one under the pointer; the spell's large view.
void exchangeScene(Game& g) {
    drawTable(g, "ec", 0, 0);
    drawHero(g, 0, "my_main", 30);
    drawHero(g, 1, "op_main", 30);
    const auto& hand = fullHand();
    for (int i = 0; i < 4; ++i) drawHandCard(g, i, hand[i]);
    drawHandCard(g, 4, hand[5]);
    for (int i = 0; i < 5; ++i) g.printPic(i == 2 ? "cho" : "ava", CardPos[i].x + 41, CardPos[i].y, 7);
    g.printPic("c_del", CardPos[1].x + 41, CardPos[1].y + 56, 4);
    g.printPic("c_del", CardPos[4].x + 41, CardPos[4].y + 56, 4);
    drawLarge(g, {"c_hit", 1, 2, -1, -1, -1, "偷袭", "对一个敌人造成 3 点伤害"});
}

// The opponent's turn: the sign, a card flying from its hand and its strike in flight.
void opponentScene(Game& g) {
    drawTable(g, "ot", 3, 4);
    drawHero(g, 0, "my_main", 12);
    drawHero(g, 1, "op_main", 21);
    drawMinion(g, 13, {"c_newbie", 0, TAUNT, 2, 1, 1});
    drawMinion(g, 15, {"c_newbie", 0, 0, 2, 1, 1});
    drawMinion(g, 4, {"c_ara", 3, 0, 3, 6, 6});
    drawMinion(g, 6, {"c_fprincess", 3, TAUNT | SHIELD, 3, 7, 10});
    g.printPic("card", 300, 200, 4);
    g.printPic("set", (CharPos[15].x + CharPos[6].x) / 2, (CharPos[15].y + CharPos[6].y) / 2, 4);
    const auto& hand = fullHand();
    for (int i = 0; i < 6; ++i) drawHandCard(g, i, hand[i]);
}

// The player's turn with a minion card chosen: no turn button, the empty places marked.
void placingScene(Game& g) {
    drawTable(g, nullptr, 4, 4);
    drawHero(g, 0, "my_main", 12);
    drawHero(g, 1, "op_main", 21);
    drawMinion(g, 13, {"c_newbie", 0, TAUNT, 2, 1, 1});
    drawMinion(g, 4, {"c_ara", 3, 0, 3, 6, 6});
    drawMinion(g, 6, {"c_fprincess", 3, TAUNT | SHIELD, 3, 7, 10});
    for (int s : {2, 3, 5, 7, 8, 9, 10}) g.printPic(s == 8 ? "cho" : "ava", CharPos[s].x, CharPos[s].y, 4);
    const auto& hand = fullHand();
    for (int i = 0; i < 6; ++i) drawHandCard(g, i, hand[i]);
    g.printPic("set", CardPos[1].x + 41, CardPos[1].y, 7);
}

void endScene(Game& g, const char* pid) {
    battleScene(g);
    g.printPic(pid, 756, 512, 4);
    label(g, "按空格键返回……", TEXT_WHITE, 756, 600, 512, 32);
}

void lobbyScene(Game& g) {
    g.printPic("lobby", 0, 0, 0);
    int x = 870, y = 430;
    AssetPic* button = g.pmap.count("b_adv") ? g.pmap["b_adv"] : nullptr;
    g.printPic("b_adv", x, y, 0);
    if (button) {
        int w = (int)(button->width / g.rate), h = (int)(button->height / g.rate);
        label(g, "冒险模式", TEXT_CYAN, x + w / 2, y + h / 2, w, 32);
    }
}

// Every picture in catalogue order, each over a checker so that its key-colour holes show, with its
// identifier underneath.
struct SheetItem {
    std::string id;
    int across, down;
};

std::vector<SheetItem> catalogueOrder() {
    std::ifstream content("asset/content.ini"), size("asset/size.ini");
    std::vector<SheetItem> items;
    int n = 0;
    size >> n;
    SheetItem item;
    std::string stem;
    for (int i = 0; i < n && (size >> item.across >> item.down) && (content >> stem >> item.id); ++i)
        items.push_back(item);
    return items;
}

constexpr int SHEET_WIDTH = 2200;
constexpr int SHEET_GAP = 24;
constexpr int SHEET_LABEL = 40;
constexpr int SHEET_CELL = 200; // room for the longest identifier under small pictures

struct Placed {
    SheetItem item;
    int x, y;
};

std::vector<Placed> sheetLayout(const std::vector<SheetItem>& items, int& height) {
    std::vector<Placed> placed;
    int x = SHEET_GAP, y = SHEET_GAP, rowHeight = 0;
    for (const SheetItem& it : items) {
        int cell = std::max(it.across, SHEET_CELL);
        if (x + cell + SHEET_GAP > SHEET_WIDTH && x > SHEET_GAP) {
            x = SHEET_GAP;
            y += rowHeight + SHEET_LABEL + SHEET_GAP;
            rowHeight = 0;
        }
        placed.push_back({it, x + (cell - it.across) / 2, y});
        x += cell + SHEET_GAP;
        rowHeight = std::max(rowHeight, it.down);
    }
    height = y + rowHeight + SHEET_LABEL + SHEET_GAP;
    return placed;
}

void checker(int w, int h, IMAGE& img) {
    img = IMAGE(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.surface.pixels[(size_t)y * w + x] = ((x / 16 + y / 16) % 2) ? 0x3C4A3C : 0x566656;
}

void sheetScene(Game& g, const std::vector<Placed>& placed, IMAGE& backdrop) {
    TransparentBlt(GetImageHDC(nullptr), 0, 0, backdrop.getwidth(), backdrop.getheight(), GetImageHDC(&backdrop), 0, 0,
                   backdrop.getwidth(), backdrop.getheight(), 0x010203);
    for (const Placed& p : placed) {
        g.printPic(p.item.id, p.x, p.y, 0);
        int cell = std::max(p.item.across, SHEET_CELL);
        label(g, p.item.id, TEXT_WHITE, p.x + p.item.across / 2, p.y + p.item.down + SHEET_LABEL / 2, cell, SHEET_LABEL,
              24);
    }
}

bool writeFrame(const std::string& path) {
    platform::RgbaPicture picture;
    platform::Point size = platform::headless::frameSize();
    picture.width = size.x;
    picture.height = size.y;
    picture.pixels = platform::headless::lastFrame();
    for (uint32_t& p : picture.pixels) p |= 0xFF000000;
    std::string error;
    if (!platform::encodePng(path, picture, error)) {
        std::fprintf(stderr, "contact_sheet: cannot write %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

void openFrame(int w, int h) {
    initgraph(w, h);
    BeginBatchDraw();
    setbkmode(TRANSPARENT);
}

// The large view of every card of the catalogue, four to a row, as the game shows them.
// A view is 328 x 540 with its badges reaching 36 units out on the left, right and top.
constexpr int CARDS_ACROSS = 4, CARD_CELL_X = 328 + 72 + 24, CARD_CELL_Y = 540 + 36 + 24, CARDS_GAP = 24;

void cardsScene(Game& g) {
    const std::vector<Card*> cards = {
        cardCatalogue::newbie(),    cardCatalogue::hana(), cardCatalogue::priscilla(),   cardCatalogue::claude(),
        cardCatalogue::fprincess(), cardCatalogue::ara(),  cardCatalogue::araTentacle(), cardCatalogue::hit(),
    };
    for (size_t i = 0; i < cards.size(); ++i) {
        const Card& c = *cards[i];
        auto* minion = dynamic_cast<const MinionCard*>(&c);
        int atk = minion ? minion->atk : -1, hp = minion ? minion->hp : -1;
        int x = CARDS_GAP + 36 + (int)(i % CARDS_ACROSS) * CARD_CELL_X;
        int y = CARDS_GAP + 36 + (int)(i / CARDS_ACROSS) * CARD_CELL_Y;
        drawLarge(g, {c.pid, c.rarity, c.spCost, atk, hp, hp, c.name, c.detail}, x, y);
    }
    reclaimMatchObjects();
}

struct Screen {
    const char* name;
    void (*draw)(Game&);
    int width = 1512, height = 1024; // reference units
};

const Screen SCREENS[] = {
    {"battle", battleScene},
    {"exchange", exchangeScene},
    {"opponent", opponentScene},
    {"placing", placingScene},
    {"win", [](Game& g) { endScene(g, "win"); }},
    {"lose", [](Game& g) { endScene(g, "lose"); }},
    {"lobby", lobbyScene},
    {"cards", cardsScene, CARDS_GAP + CARDS_ACROSS * CARD_CELL_X, CARDS_GAP + 2 * CARD_CELL_Y},
};

bool drawScreen(Game& g, const Screen& s, const std::string& path) {
    openFrame((int)(s.width * g.rate), (int)(s.height * g.rate));
    s.draw(g);
    FlushBatchDraw();
    return writeFrame(path);
}

} // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : "contact_sheet";
    if (!std::filesystem::exists("asset/size.ini")) {
        std::fprintf(stderr, "contact_sheet: run me from the folder that holds asset/ (the build folder)\n");
        return 1;
    }
    std::filesystem::create_directories(folder);
    platform::headless::enable();
    int sheetHeight = 0;
    std::vector<Placed> placed = sheetLayout(catalogueOrder(), sheetHeight);
    bool ok = true;
    for (Language language : {Language::CHINESE, Language::ENGLISH}) {
        std::string tongue = language == Language::ENGLISH ? "_en" : "";
        for (double rate : {1.0, 0.75, 0.5}) {
            Game game;
            game.rate = rate;
            game.language = language;
            game.loadAssets();
            std::string suffix = tongue + "_" + std::to_string((int)(rate * 100)) + ".png";
            for (const Screen& s : SCREENS) ok = drawScreen(game, s, folder + "/" + s.name + suffix) && ok;
            // Every picture, for each language (the English ones stand in for their Chinese).
            int w = (int)(SHEET_WIDTH * rate), h = (int)(sheetHeight * rate);
            IMAGE backdrop;
            checker(w, h, backdrop);
            openFrame(w, h);
            sheetScene(game, placed, backdrop);
            FlushBatchDraw();
            ok = writeFrame(folder + "/sheet" + suffix) && ok;
        }
    }
    return ok ? 0 : 1;
}
