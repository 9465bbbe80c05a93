#include "game/choices.h"

#include <iterator>

namespace {

template <class Value>
struct Named {
    Value value;
    const char* code;
    const char* name;
};

constexpr Named<Language> LANGUAGES[] = {
    {Language::CHINESE, "zh", "Chinese"},
    {Language::ENGLISH, "en", "English"},
};
constexpr Named<Opponent> OPPONENTS[] = {
    {Opponent::STANDARD, "standard", "Standard"},
    {Opponent::STRONG, "strong", "Strong"},
};

// The entry of a value; the first (the default) for one the table lacks.
template <class Value, size_t N>
const Named<Value>& entryOf(const Named<Value> (&table)[N], Value value) {
    for (const Named<Value>& entry : table)
        if (entry.value == value) return entry;
    return table[0];
}

template <class Value, size_t N>
std::optional<Value> valueOfCode(const Named<Value> (&table)[N], const std::string& code) {
    for (const Named<Value>& entry : table)
        if (code == entry.code) return entry.value;
    return std::nullopt;
}

} // namespace

const char* languageCode(Language language) { return entryOf(LANGUAGES, language).code; }
const char* languageName(Language language) { return entryOf(LANGUAGES, language).name; }
std::optional<Language> languageOfCode(const std::string& code) { return valueOfCode(LANGUAGES, code); }

const char* opponentCode(Opponent opponent) { return entryOf(OPPONENTS, opponent).code; }
const char* opponentName(Opponent opponent) { return entryOf(OPPONENTS, opponent).name; }
std::optional<Opponent> opponentOfCode(const std::string& code) { return valueOfCode(OPPONENTS, code); }
