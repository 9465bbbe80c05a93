#include "game/settings.h"

#include <fstream>
#include <iostream>
#include <limits>

#include "platform/messages.h"
#include "platform/platform.h"

namespace {

const char* const SETTINGS_FILE = "setting.ini";
constexpr int RESOLUTION_COUNT = 3;

// More than any choice's code: what is read beyond it only makes the complaint longer.
constexpr size_t LONGEST_LINE = 64;
const char* const BLANKS = " \t\r\f\v";

// The next line of the file with something on it, without its surrounding blanks, at most
// LONGEST_LINE characters of it (the rest of it is passed over).
std::string nextLine(std::istream& settings) {
    std::string line;
    if (!(settings >> std::ws)) return line;
    char c = 0;
    while (line.size() < LONGEST_LINE && settings.get(c) && c != '\n') line += c;
    if (line.size() == LONGEST_LINE && c != '\n') settings.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    line.erase(line.find_last_not_of(BLANKS) + 1);
    return line;
}

// What an optional line may name, and how to tell the player about one that names nothing.
template <class Value>
struct LineRule {
    const char* which;   // "third"
    const char* naming;  // "language"
    const char* meaning; // what the line may say
    const char* byDefault;
    std::optional<Value> (*ofCode)(const std::string&);
};

const LineRule<Language> LANGUAGE_LINE = {"third", "language", "en for English; zh, or no line, for Chinese",
                                          "Chinese", languageOfCode};
const LineRule<Opponent> OPPONENT_LINE = {"fourth", "opponent",
                                          "strong for the strong one; standard, or no line, for the standard one",
                                          "the standard one", opponentOfCode};

template <class Value>
ChoiceLine<Value> readChoiceLine(std::istream& settings, const LineRule<Value>& rule, std::optional<Value> asked) {
    ChoiceLine<Value> choice;
    // A file whose earlier values could not be read has no such line either.
    if (settings) choice.savedLine = nextLine(settings);
    std::optional<Value> meant = choice.savedLine.empty() ? Value{} : rule.ofCode(choice.savedLine);
    choice.saved = meant.value_or(Value{});
    choice.chosen = asked.value_or(choice.saved);
    if (!meant && !asked)
        choice.complaint = std::string("cardbattle: setting.ini: the ") + rule.which + " line " +
                           platform::quotedForMessage(choice.savedLine) + " names no " + rule.naming + " (" +
                           rule.meaning + "), so it reads as " + rule.byDefault;
    return choice;
}

template <class Value>
std::string lineToWrite(const ChoiceLine<Value>& choice, const char* (*code)(Value)) {
    return choice.chosen == choice.saved ? choice.savedLine : code(choice.chosen);
}

} // namespace

int readResolution(std::istream& settings) {
    if (!settings) return -1; // no file
    int value = 0;
    if (settings >> value) return value >= 0 && value < RESOLUTION_COUNT ? value : -1;
    // Nothing but blanks (or nothing readable) gives no index; a number too large for an int is
    // out of range.
    if (settings.eof() || settings.bad() || value != 0) return -1;
    return 0;
}

Settings readSettings(std::istream& in, const AskedChoices& asked) {
    Settings s;
    s.resolution = readResolution(in);
    in >> s.debug; // as a number: "2" reads as on, and ends the reading
    s.language = readChoiceLine(in, LANGUAGE_LINE, asked.language);
    s.opponent = readChoiceLine(in, OPPONENT_LINE, asked.opponent);
    return s;
}

Settings loadSettings(const AskedChoices& asked) {
    std::ifstream in(SETTINGS_FILE);
    return readSettings(in, asked);
}

std::string settingsText(const Settings& s) {
    std::string text = std::to_string(s.resolution) + "\n" + (s.debug ? "1" : "0") + "\n";
    std::string language = lineToWrite(s.language, languageCode), opponent = lineToWrite(s.opponent, opponentCode);
    // The opponent's line is the fourth: a language line holds its place.
    if (language.empty() && !opponent.empty()) language = languageCode(s.language.chosen);
    if (!language.empty()) text += language + "\n";
    if (!opponent.empty()) text += opponent + "\n";
    return text;
}

void saveSettings(const Settings& s) {
    std::ofstream settings(SETTINGS_FILE, std::ios::out | std::ios::trunc);
    settings << settingsText(s);
    settings.close();
    // The game starts all the same; the player only learns the choice is not kept.
    if (!settings)
        std::cerr << "cardbattle: cannot write " << SETTINGS_FILE << "; the settings are not kept" << std::endl;
}
