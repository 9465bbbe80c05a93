// The missing-pictures message with POSIX paths (Linux, the browser): absolute ones shown as they are.
#include "app/missing_pictures.h"

namespace missing_pictures {

INSTANTIATE_TEST_SUITE_P(PosixPlaces, MissingPicturesLines, ::testing::ValuesIn(casesIn("/home/", "/")), caseName);

} // namespace missing_pictures
