// A FIFO in a picture's place, which only a POSIX system can have, is refused without being opened.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "render/damaged_assets.h"

namespace damaged_assets {
namespace {

const Damage POSIX_DAMAGES[] = {
    {"FifoForAPicture",
     [](testing_support::TempWorkDir&) {
         std::filesystem::remove("asset/bad.png");
         ASSERT_EQ(mkfifo("asset/bad.png", 0600), 0);
     },
     "./asset/bad.png", "not a regular file", true,
     [] { close(open("asset/bad.png", O_WRONLY | O_NONBLOCK)); }},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Posix, DamagedAssets, ::testing::ValuesIn(POSIX_DAMAGES), damageName);

} // namespace damaged_assets
