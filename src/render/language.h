// The game window's words in the chosen language. Chinese, the game's own, is drawn as it is. In
// English a text with an entry in the built-in catalogue (made from po/en.po when the program is
// built) is drawn in English, and a picture that carries words is taken from asset/en/ when it is
// there. The lookup sits where text reaches the surface; nothing below the text items knows it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "game/choices.h"

// What to draw for the game text `gbk` in `language`: in Chinese the text itself, byte for byte; in
// English its entry, or the text itself where there is none (numbers, file names).
std::string shownText(Language language, const std::string& gbk);

// The English entry for `gbk`, or null.
const char* englishEntry(const std::string& gbk);
size_t englishEntryCount();

// Texts shown in English that are not plain ASCII and have no entry, each once, in the order
// first shown: a game text the catalogue misses.
const std::vector<std::string>& untranslatedTexts();
void clearUntranslatedTexts();
