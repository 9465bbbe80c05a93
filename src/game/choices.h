// The choices a player makes before the game: the language of the window's words (Chinese, the
// game's own, unless English is chosen) and the opponent (the standard one unless the strong one
// is chosen). Each is written the same way wherever it is chosen (the command line, setting.ini,
// the page's address) and named in the launcher.
#pragma once

#include <optional>
#include <string>

enum class Language { CHINESE, ENGLISH };
enum class Opponent { STANDARD, STRONG };

// "zh" or "en"; and the name the launcher shows.
const char* languageCode(Language language);
const char* languageName(Language language);
// The language of a code, exactly as languageCode writes it; none for anything else.
std::optional<Language> languageOfCode(const std::string& code);

// "standard" or "strong"; and the name the launcher shows.
const char* opponentCode(Opponent opponent);
const char* opponentName(Opponent opponent);
std::optional<Opponent> opponentOfCode(const std::string& code);
