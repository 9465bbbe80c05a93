// English chosen for the length of a test, Chinese again after it.
#pragma once

#include "render/language.h"

namespace testing_support {

class EnglishChosen {
public:
    EnglishChosen() {
        clearUntranslatedTexts();
        setLanguage(Language::ENGLISH);
    }
    ~EnglishChosen() {
        setLanguage(Language::CHINESE);
        clearUntranslatedTexts();
    }
    EnglishChosen(const EnglishChosen&) = delete;
    EnglishChosen& operator=(const EnglishChosen&) = delete;
};

} // namespace testing_support
