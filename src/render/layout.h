// Where the hand positions and the twenty board slots stand, in reference units.
#pragma once

struct LayoutPoint {
    int x;
    int y;
};

// Top left corner of each hand position's card face (82 x 112).
inline constexpr LayoutPoint CardPos[8] = {
    {70, 850}, {200, 850}, {330, 850}, {460, 850}, {770, 850}, {900, 850}, {1030, 850}, {1160, 850},
};

// Centre of each board slot, indexed like Battle::c.
inline constexpr LayoutPoint CharPos[20] = {
    {658, 915},                                                                            // player's hero
    {658, 110},                                                                            // opponent's hero
    {255, 665}, {355, 765}, {455, 665}, {555, 765}, {655, 665}, {755, 765}, {855, 665}, {955, 765}, {1055, 665},
    {255, 360}, {355, 260}, {455, 360}, {555, 260}, {655, 360}, {755, 260}, {855, 360}, {955, 260}, {1055, 360},
};
