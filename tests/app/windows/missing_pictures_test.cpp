// The missing-pictures message with Windows paths: drive letters and network shares shown with
// backslashes, steps resolved, file names in GBK whatever Windows' own code page.
#include "app/missing_pictures.h"

namespace missing_pictures {
namespace {

const LinesCase WINDOWS_FORMS[] = {
    {"ForwardSlashes", {"D:/Games/asset"}, -1, {"D:\\Games\\asset"}},
    {"StepsOnADrive", {"C:\\Games\\bin\\..\\share\\.\\asset"}, -1, {"C:\\Games\\share\\asset"}},
    {"ANetworkShare", {"\\\\server\\games\\asset"}, -1, {"\\\\server\\games\\asset"}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(WindowsPlaces, MissingPicturesLines, ::testing::ValuesIn(casesIn("C:\\Users\\", "\\")),
                         caseName);
INSTANTIATE_TEST_SUITE_P(WindowsForms, MissingPicturesLines, ::testing::ValuesIn(WINDOWS_FORMS), caseName);

} // namespace missing_pictures
