// The missing-pictures message with POSIX paths: absolute ones shown as they are, file names in
// GBK, and '?' for what GBK lacks or what is no UTF-8.
#include "missing_pictures.h"

namespace missing_pictures {
namespace {

const LinesCase POSIX_LINES[] = {
    {"InstalledPlaces",
     {"/opt/game/bin/asset", "/opt/game/share/cardbattle/asset"},
     -1,
     {"/opt/game/bin/asset", "/opt/game/share/cardbattle/asset"}},
    {"TheWorkingFolderAsItsAbsolutePath", {"./asset", "/usr/bin/asset"}, -1, {"./asset", "/usr/bin/asset"}},
    {"ChineseFolderNames", {utf8(u8"/home/玩家/游戏/asset")}, -1, {"/home/玩家/游戏/asset"}},
    {"AccentedLettersGbkHas", {utf8(u8"/home/José/asset")}, -1, {"/home/José/asset"}},
    {"ACharacterGbkLacks", {utf8(u8"/srv/🎮/asset")}, -1, {"/srv/?/asset"}},
    {"BytesThatAreNotUtf8", {"/home/Jos\xE9/asset"}, -1, {"/home/Jos?/asset"}},
    {"OnlyTheFolderThatWasUsed",
     {"./asset", utf8(u8"/home/玩家/bin/asset"), "/usr/share/cardbattle/asset"},
     1,
     {"/home/玩家/bin/asset"}},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(PosixPlaces, MissingPicturesLines, ::testing::ValuesIn(POSIX_LINES), caseName);

} // namespace missing_pictures
