// A damaged asset folder only a POSIX system can have: a FIFO in a picture's place is refused
// without being opened, so that loading does not wait for a writer that never comes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "damaged_assets.h"

namespace damaged_assets {
namespace {

const Damage POSIX_DAMAGES[] = {
    {"FifoForAPicture",
     [](testing_support::TempWorkDir&) {
         std::filesystem::remove("asset/bad.png");
         ASSERT_EQ(mkfifo("asset/bad.png", 0600), 0);
     },
     "./asset/bad.png", "not a regular file", true,
     [] {
         int fd = open("asset/bad.png", O_WRONLY | O_NONBLOCK);
         if (fd >= 0) close(fd);
     }},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Posix, DamagedAssets, ::testing::ValuesIn(POSIX_DAMAGES), damageName);

} // namespace damaged_assets
