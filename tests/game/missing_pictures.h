// The lines of the missing-pictures message, checked with each system's own paths too.
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

// Folders named beyond ASCII in `home`, an absolute folder of the system's own form that ends in
// its separator `sep`: shown in GBK, '?' for what GBK lacks or what is no UTF-8.
std::vector<LinesCase> casesIn(const std::string& home, const std::string& sep);

} // namespace missing_pictures
