#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/platform.h"

// Every test program runs on the headless backend: virtual clock, scripted input, no real window.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    platform::headless::enable();
    return RUN_ALL_TESTS();
}
