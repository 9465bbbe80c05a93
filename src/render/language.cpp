// The English lookup.
#include "render/language.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "render/english_table.h"

namespace {

const std::unordered_map<std::string_view, const char*>& entries() {
    static const std::unordered_map<std::string_view, const char*> map = [] {
        std::unordered_map<std::string_view, const char*> m;
        for (size_t i = 0; i < ENGLISH_TABLE_SIZE; ++i) m.emplace(ENGLISH_TABLE[i].gbk, ENGLISH_TABLE[i].english);
        return m;
    }();
    return map;
}

std::vector<std::string>& untranslated() {
    static std::vector<std::string> seen;
    return seen;
}

bool plainAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x80; });
}

void noteUntranslated(const std::string& gbk) {
    std::vector<std::string>& seen = untranslated();
    if (std::find(seen.begin(), seen.end(), gbk) == seen.end()) seen.push_back(gbk);
}

} // namespace

const char* englishEntry(const std::string& gbk) {
    auto it = entries().find(gbk);
    return it == entries().end() ? nullptr : it->second;
}

size_t englishEntryCount() { return entries().size(); }

std::string shownText(Language language, const std::string& gbk) {
    if (language == Language::CHINESE || plainAscii(gbk)) return gbk;
    if (const char* english = englishEntry(gbk)) return english;
    noteUntranslated(gbk);
    return gbk;
}

const std::vector<std::string>& untranslatedTexts() { return untranslated(); }

void clearUntranslatedTexts() { untranslated().clear(); }
