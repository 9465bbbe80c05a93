// The language of the game window as the player chooses it before the game: on the command line,
// with the launcher's L key, and kept from one run to the next as the optional third line of
// setting.ini ("en" for English; "zh", or no line at all, for Chinese).
#pragma once

#include <istream>
#include <optional>
#include <string>

#include "console/console.h"
#include "render/language.h"

struct LanguageChoice {
    Language chosen = Language::CHINESE;
    std::string savedLine;              // setting.ini's third line as read; "" when there is none
    Language saved = Language::CHINESE; // what that line means
    std::string complaint;              // what to tell the player about the line; "" when all is well

    // The third line to write back ("" for none): the line as it was while the choice is still the
    // one it means, so that a file of two lines keeps two and a line this version does not know is
    // not lost; otherwise the code of the choice.
    std::string lineToWrite() const;
};

// Reads setting.ini's third line from `settings`, whose first two values have been read, and
// settles the language: the one asked for on the command line, else the one the line means. A
// line that names no language reads as Chinese, with a complaint unless the command line chose.
LanguageChoice readLanguageChoice(std::istream& settings, std::optional<Language> asked);

// The launcher's line that shows the language, on a line of its own below (or, on the compact
// screen, beside) the widgets; the L key switches it.
class LanguageSwitch {
public:
    LanguageSwitch(LanguageChoice& choice, bool compact);
    // Switches on a press of L (once however long it is held) and shows the new language.
    void preserve();

private:
    LanguageChoice& choice;
    std::string name;
    Form line;
    LabelVal label;
    KeyPress key{'L'};
};
