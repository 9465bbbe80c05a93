// The picture catalogue: identifiers to pictures scaled to the window once, at start-up.
#pragma once

#include <string>

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
