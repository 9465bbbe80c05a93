// The lines of the missing-pictures message, shared with the cases of each system's own paths.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace missing_pictures {

struct LinesCase {
    const char* name;
    std::vector<std::string> places; // as searched, UTF-8 (relative ones from the working folder)
    int usedPlace;                   // the folder that was used but gave no picture, -1 for none
    std::vector<std::string> shown;  // the paths the message shows, GBK ("./x": x in the working folder)
};

class MissingPicturesLines : public ::testing::TestWithParam<LinesCase> {};

std::string caseName(const testing::TestParamInfo<LinesCase>& info);

inline std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

} // namespace missing_pictures
