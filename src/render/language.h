// The language of the game window's words. Chinese, the game's own, is the default: its texts are
// drawn as they are. In English a text with an entry in the built-in catalogue (made from
// po/en.po when the program is built) is drawn in English, and a picture that carries words is
// taken from asset/en/ when it is there.
//
// The choice is made once at start-up, before the pictures are loaded; nothing below the text
// items knows about it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum class Language { CHINESE, ENGLISH };

void setLanguage(Language language);
Language language();

// How a language is written where the player chooses it (the command line, setting.ini): "zh" or
// "en"; and its name as the launcher shows it.
const char* languageCode(Language language);
const char* languageName(Language language);
// The language of a code, exactly as languageCode writes it; none for anything else.
std::optional<Language> languageOfCode(const std::string& code);

// What to draw for the game text `gbk`: in Chinese the text itself, byte for byte; in English its
// entry, or the text itself where there is none (numbers, file names).
std::string shownText(const std::string& gbk);

// The English entry for `gbk`, or null.
const char* englishEntry(const std::string& gbk);
size_t englishEntryCount();

// Texts shown in English that are not plain ASCII and have no entry, each once, in the order
// first shown: a game text the catalogue misses.
const std::vector<std::string>& untranslatedTexts();
void clearUntranslatedTexts();
