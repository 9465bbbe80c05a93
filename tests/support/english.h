// English chosen for a game for the length of a test, Chinese again after it; the texts noted as
// untranslated are the test's own.
#pragma once

#include "game/game.h"
#include "render/language.h"

namespace testing_support {

class EnglishChosen {
public:
    explicit EnglishChosen(Game& game) : game(game) {
        clearUntranslatedTexts();
        game.language = Language::ENGLISH;
    }
    ~EnglishChosen() {
        game.language = Language::CHINESE;
        clearUntranslatedTexts();
    }
    EnglishChosen(const EnglishChosen&) = delete;
    EnglishChosen& operator=(const EnglishChosen&) = delete;

private:
    Game& game;
};

} // namespace testing_support
