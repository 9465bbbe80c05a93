// The missing-pictures message with Windows paths: drive letters and network shares shown as they
// are with backslashes, steps resolved, file names in GBK whatever Windows' own code page, and '?'
// for what GBK lacks or what is no UTF-8.
#include "missing_pictures.h"

namespace missing_pictures {
namespace {

const LinesCase WINDOWS_LINES[] = {
    {"InstalledPlaces",
     {"C:\\Games\\cardbattle\\bin\\asset", "C:\\Games\\cardbattle\\share\\cardbattle\\asset"},
     -1,
     {"C:\\Games\\cardbattle\\bin\\asset", "C:\\Games\\cardbattle\\share\\cardbattle\\asset"}},
    {"ForwardSlashes", {"D:/Games/asset"}, -1, {"D:\\Games\\asset"}},
    {"StepsOnADrive", {"C:\\Games\\bin\\..\\share\\.\\asset"}, -1, {"C:\\Games\\share\\asset"}},
    {"ANetworkShare", {"\\\\server\\games\\asset"}, -1, {"\\\\server\\games\\asset"}},
    {"ChineseFolderNames", {utf8(u8"C:\\Users\\玩家\\游戏\\asset")}, -1, {"C:\\Users\\玩家\\游戏\\asset"}},
    {"AccentedLettersGbkHas", {utf8(u8"C:\\Users\\José\\asset")}, -1, {"C:\\Users\\José\\asset"}},
    {"ACharacterGbkLacks", {utf8(u8"C:\\🎮\\asset")}, -1, {"C:\\?\\asset"}},
    {"BytesThatAreNotUtf8", {"C:\\Jos\xE9\\asset"}, -1, {"C:\\Jos?\\asset"}},
    {"OnlyTheFolderThatWasUsed",
     {"./asset", utf8(u8"C:\\玩家\\bin\\asset"), "C:\\share\\asset"},
     1,
     {"C:\\玩家\\bin\\asset"}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(WindowsPlaces, MissingPicturesLines, ::testing::ValuesIn(WINDOWS_LINES), caseName);

} // namespace missing_pictures
