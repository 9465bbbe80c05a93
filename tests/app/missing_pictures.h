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

inline std::string caseName(const testing::TestParamInfo<LinesCase>& info) { return info.param.name; }

// The cases of every system: relative places shown from the working folder, their steps
// resolved; and folders in `home` (absolute, in the system's own form, ending in its separator
// `sep`) named beyond ASCII, shown in GBK with '?' for what GBK lacks or what is no UTF-8.
std::vector<LinesCase> casesIn(const std::string& home, const std::string& sep);

} // namespace missing_pictures
