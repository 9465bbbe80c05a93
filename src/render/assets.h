// The picture catalogue: identifiers to pictures scaled to the window once, at start-up.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "render/surface.h"

class AssetPic {
public:
    std::string id;
    IMAGE img;
    int width;  // the picture's vertical size in window pixels (the name is historical)
    int height; // the picture's horizontal size in window pixels

    AssetPic();
    void load(std::string path);
    void print(int x, int y, double rate, int fmt);
};

// ---- where pictures come from ----
// The folders looked in for the catalogue, in order: asset/ in the working folder (a portable
// folder), asset/ beside the executable, then the installed data folder found from the executable
// (<its folder>/../share/cardbattle/asset). The first holding both index files as regular files is
// used, and every picture comes from it.
std::vector<std::string> assetSearchPlaces();
// Tests and fuzz targets look elsewhere; useDefaultAssetSearchPlaces() goes back to the list above.
void setAssetSearchPlaces(std::vector<std::string> places);
void useDefaultAssetSearchPlaces();
// The folder the last Game::loadAssets took its pictures from; "" when it found none (and before
// the first). With assetSearchPlaces() it says where pictures were looked for.
const std::string& assetFolder();

// ---- what pictures may cost ----
// The largest reference size on either side of a picture in asset/size.ini.
constexpr int MAX_REFERENCE_SIDE = 4096;
// The catalogue's pictures hold at most this many bytes (pixels and their run tables) together; a
// picture that would take it further is refused.
constexpr size_t PICTURE_BUDGET = size_t(128) << 20;
// Tests and fuzz targets may set another budget; pictureBytes() is what the pictures hold now.
void setPictureBudget(size_t bytes);
size_t pictureBytes();
// Frees every picture loaded so far, for tests and fuzz targets that load one catalogue after
// another in one process and must not carry pictures from one to the next. Every pmap filled
// before then points to freed pictures: no Game that has loaded may draw afterwards.
void releasePictures();
