// setting.ini in the working folder: the launcher's choices, kept from one run to the next. This
// module alone reads and writes it.
//   line 1  the window size: 0 (756 x 512), 1 (1134 x 768) or 2 (1512 x 1024)
//   line 2  debug mode: 0 or 1
//   line 3  optional, the language: en for English; zh, or no line, for Chinese
//   line 4  optional, the opponent: strong; standard, or no line, for the standard one
// The values are read as formatted numbers (blanks and line breaks between them carry no meaning);
// each optional line is the next line with something on it.
#pragma once

#include <istream>
#include <optional>
#include <string>

#include "game/choices.h"

// An optional line that names a choice. It is written back as it was read while the choice is
// still the one it means, so that a file of two lines keeps two and a line this version does not
// know is not lost; otherwise as the code of the choice.
template <class Value>
struct ChoiceLine {
    Value chosen{};        // what the game plays with
    Value saved{};         // what the line means
    std::string savedLine; // the line as read; "" when there is none
    std::string complaint; // what to tell the player about the line; "" when all is well
};

struct Settings {
    int resolution = -1; // the index the file gives; -1 when it gives none (no file, blank, out of range)
    bool debug = false;
    ChoiceLine<Language> language;
    ChoiceLine<Opponent> opponent;
};

// Choices made on the command line: each replaces what the file says (and silences the file's
// complaint about it), and is saved.
struct AskedChoices {
    std::optional<Language> language;
    std::optional<Opponent> opponent;
};

// The resolution index the settings give: a number outside 0..2, or none at all, gives -1; text
// that is not a number reads as 0 (and leaves the stream failed, so nothing more is read from it).
int readResolution(std::istream& settings);
// The whole file as read from `in` (a stream that failed to open gives the defaults).
Settings readSettings(std::istream& in, const AskedChoices& asked);
// setting.ini of the working folder.
Settings loadSettings(const AskedChoices& asked);
// The file's text for these settings.
std::string settingsText(const Settings& settings);
// Writes setting.ini; a file that cannot be written is said on standard error and the game goes on.
void saveSettings(const Settings& settings);
