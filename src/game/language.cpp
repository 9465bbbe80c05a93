#include "game/language.h"

namespace {

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

} // namespace

const char* languageCode(Language language) { return namesOf(language).code; }

const char* languageName(Language language) { return namesOf(language).name; }

std::optional<Language> languageOfCode(const std::string& code) {
    for (const LanguageNames& names : LANGUAGES)
        if (code == names.code) return names.language;
    return std::nullopt;
}
