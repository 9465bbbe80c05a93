// The picture catalogue: loading from the two index files, drawing by identifier and anchor,
// and the movement animation.
#include "render/assets.h"

#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

#include "game/game.h"

namespace {

// The catalogue's pictures live for the whole run; Game copies share them, so the game never
// frees one. They are owned here, which also gives them back when the program ends.
std::vector<std::unique_ptr<AssetPic>>& pictureStore() {
    static std::vector<std::unique_ptr<AssetPic>> store;
    return store;
}

AssetPic* newPicture() { return pictureStore().emplace_back(std::make_unique<AssetPic>()).get(); }

} // namespace

AssetPic::AssetPic() : id(""), img(), width(0), height(0) {}

void AssetPic::load(std::string path) {
    std::string file = "./asset/" + path + ".png";
    if (!loadimage(&img, file.c_str(), height, width, false))
        std::cerr << "cardbattle: cannot load picture " << file << "; it is not drawn" << std::endl;
}

void AssetPic::print(int x, int y, double rate, int fmt) {
    HDC frame = GetImageHDC(nullptr);
    HDC picture = GetImageHDC(&img);
    if (fmt < 0 || fmt > 8) fmt = 0;
    int px = (int)(x * rate), py = (int)(y * rate);
    int across = fmt % 3, down = fmt / 3;
    if (across == 1) px -= height / 2;
    if (across == 2) px -= height;
    if (down == 1) py -= width / 2;
    if (down == 2) py -= width;
    TransparentBlt(frame, px, py, height, width, picture, 0, 0, height, width, KEY_COLOUR);
}

void Game::loadAssets() {
    std::ifstream content("asset/content.ini");
    std::ifstream size("asset/size.ini");
    if (!content || !size) {
        std::cerr << "cardbattle: cannot read " << (!size ? "asset/size.ini" : "asset/content.ini")
                  << "; no pictures are loaded" << std::endl;
        return;
    }
    int n = 0;
    if (!(size >> n)) {
        std::cerr << "cardbattle: asset/size.ini does not start with a picture count; no pictures are loaded"
                  << std::endl;
        return;
    }
    for (int i = 1; i <= n; ++i) {
        int h = 0, w = 0;
        std::string stem, identifier;
        if (!(size >> h >> w)) {
            std::cerr << "cardbattle: asset/size.ini ends after " << i - 1 << " of " << n << " pictures" << std::endl;
            return;
        }
        if (!(content >> stem >> identifier)) {
            std::cerr << "cardbattle: asset/content.ini ends after " << i - 1 << " of " << n << " pictures"
                      << std::endl;
            return;
        }
        AssetPic* pic = newPicture();
        pic->width = (int)(w * rate);
        pic->height = (int)(h * rate);
        if (pic->width <= 0 || pic->height <= 0)
            std::cerr << "cardbattle: picture " << identifier << " has no size at this scale (" << h << " x " << w
                      << "); it is not drawn" << std::endl;
        else
            pic->load(stem);
        pmap[identifier] = pic;
    }
}

void Game::printPic(std::string id, int x, int y, int fmt) {
    auto it = pmap.find(id);
    if (it == pmap.end()) {
        std::cout << "Fail to find picture id=" << id << std::endl;
        return;
    }
    it->second->print(x, y, rate, fmt);
}

void Game::anime_move(std::string pid, int fx, int fy, int tx, int ty, int tm, int frame, int fmt) {
    if (gameEnd) return;
    if (frame < 1) frame = 1; // a zero step count would divide by zero
    int saved = status;
    status = DISABLE;
    for (int i = 0; i <= frame; ++i) {
        int nowx = fx - (fx - tx) * i / frame;
        int nowy = fy - (fy - ty) * i / frame;
        battle.printBattle(this, false);
        printPic(pid, nowx, nowy, fmt);
        FlushBatchDraw();
        Sleep(tm / frame);
    }
    status = saved;
}
