// The language chosen before the game: the third line of setting.ini and the launcher's switch.
#include "console/language_choice.h"

#include "platform/platform.h"

namespace {

// Where the launcher shows the language: below Start on the full screen (rows 19 and 20 are left
// free by every widget), on the last of the compact screen's twelve lines.
struct LinePlace {
    int row, col;
};
constexpr LinePlace FULL_PLACE = {19, 15}, COMPACT_PLACE = {12, 5};
const char* const CAPTION = "&7Language (L to change): ";
constexpr int LINE_WIDTH = 31; // the caption and the longest name
constexpr int NAME_COLOUR = 15;

const LinePlace& placeOf(bool compact) { return compact ? COMPACT_PLACE : FULL_PLACE; }

// More than any language's code: what is read beyond it only makes the complaint longer.
constexpr size_t LONGEST_LINE = 64;

const char* const BLANKS = " \t\r\f\v";

// The next line of the file with something on it, without its surrounding blanks, at most
// LONGEST_LINE characters of it.
std::string nextLine(std::istream& settings) {
    std::string line;
    if (!(settings >> std::ws)) return line;
    char c;
    while (line.size() < LONGEST_LINE && settings.get(c) && c != '\n') line += c;
    line.erase(line.find_last_not_of(BLANKS) + 1);
    return line;
}

} // namespace

std::string LanguageChoice::lineToWrite() const { return chosen == saved ? savedLine : languageCode(chosen); }

LanguageChoice readLanguageChoice(std::istream& settings, std::optional<Language> asked) {
    LanguageChoice choice;
    // A file whose first two values could not be read has no third line either.
    if (settings) choice.savedLine = nextLine(settings);
    std::optional<Language> meant = choice.savedLine.empty() ? Language::CHINESE : languageOfCode(choice.savedLine);
    choice.saved = meant.value_or(Language::CHINESE);
    choice.chosen = asked.value_or(choice.saved);
    if (!meant && !asked)
        choice.complaint = "cardbattle: setting.ini: the third line " + platform::quotedForMessage(choice.savedLine) +
                           " names no language (en for English; zh, or no line, for Chinese), so it reads as Chinese";
    return choice;
}

LanguageSwitch::LanguageSwitch(LanguageChoice& languageChoice, bool compact)
    : choice(languageChoice), name(languageName(languageChoice.chosen)),
      line(placeOf(compact).row, placeOf(compact).col, 1, LINE_WIDTH, nullptr, 0),
      label(toRaw(CAPTION), 1, 1, &line, &name, NAME_COLOUR, -1) {}

void LanguageSwitch::preserve() {
    if (!key.fresh()) return;
    choice.chosen = choice.chosen == Language::ENGLISH ? Language::CHINESE : Language::ENGLISH;
    name = languageName(choice.chosen);
    label.print();
}
