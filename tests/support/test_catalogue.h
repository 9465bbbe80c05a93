// A catalogue of solid-colour pictures, one colour per identifier, so that tests can find where
// each picture was drawn pixel by pixel. No files are involved.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Game;

namespace testing_support {

struct TestPicture {
    const char* id;
    int across; // horizontal size, reference units
    int down;   // vertical size, reference units
};

// Every identifier the game draws, with sizes that fit where it is drawn.
const std::vector<TestPicture>& testPictures();

// Fills game.pmap with solid pictures scaled by game.rate (the sizes truncated as the loader does).
void loadSolidCatalogue(Game& game);

// The colour (0x00RRGGBB) of a test picture; never black, white, the key colour or the red of
// damaged health, and different for every identifier.
uint32_t colourOf(const std::string& id);

} // namespace testing_support
