// The languages of the game window's words. Chinese, the game's own, is the default; English can
// be chosen before the game (the launcher, the command line, setting.ini, the page's address).
#pragma once

#include <optional>
#include <string>

enum class Language { CHINESE, ENGLISH };

// How a language is written where the player chooses it (the command line, setting.ini): "zh" or
// "en"; and its name as the launcher shows it.
const char* languageCode(Language language);
const char* languageName(Language language);
// The language of a code, exactly as languageCode writes it; none for anything else.
std::optional<Language> languageOfCode(const std::string& code);
