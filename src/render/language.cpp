// The chosen language and the English lookup.
#include "render/language.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "render/english_table.h"

namespace {

struct LanguageState {
    Language chosen = Language::CHINESE;
    std::vector<std::string> untranslated;
};

LanguageState& state() {
    static LanguageState s;
    return s;
}

const std::unordered_map<std::string_view, const char*>& entries() {
    static const std::unordered_map<std::string_view, const char*> map = [] {
        std::unordered_map<std::string_view, const char*> m;
        for (size_t i = 0; i < ENGLISH_TABLE_SIZE; ++i) m.emplace(ENGLISH_TABLE[i].gbk, ENGLISH_TABLE[i].english);
        return m;
    }();
    return map;
}

struct LanguageNames {
    Language language;
    const char* code;
    const char* name;
};
constexpr LanguageNames LANGUAGES[] = {
    {Language::CHINESE, "zh", "Chinese"},
    {Language::ENGLISH, "en", "English"},
};

const LanguageNames& namesOf(Language language) {
    for (const LanguageNames& names : LANGUAGES)
        if (names.language == language) return names;
    return LANGUAGES[0];
}

bool plainAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x80; });
}

void noteUntranslated(const std::string& gbk) {
    std::vector<std::string>& seen = state().untranslated;
    if (std::find(seen.begin(), seen.end(), gbk) == seen.end()) seen.push_back(gbk);
}

} // namespace

void setLanguage(Language language) { state().chosen = language; }

Language language() { return state().chosen; }

const char* languageCode(Language language) { return namesOf(language).code; }

const char* languageName(Language language) { return namesOf(language).name; }

std::optional<Language> languageOfCode(const std::string& code) {
    for (const LanguageNames& names : LANGUAGES)
        if (code == names.code) return names.language;
    return std::nullopt;
}

const char* englishEntry(const std::string& gbk) {
    auto it = entries().find(gbk);
    return it == entries().end() ? nullptr : it->second;
}

size_t englishEntryCount() { return entries().size(); }

std::string shownText(const std::string& gbk) {
    if (state().chosen == Language::CHINESE || plainAscii(gbk)) return gbk;
    if (const char* english = englishEntry(gbk)) return english;
    noteUntranslated(gbk);
    return gbk;
}

const std::vector<std::string>& untranslatedTexts() { return state().untranslated; }

void clearUntranslatedTexts() { state().untranslated.clear(); }
