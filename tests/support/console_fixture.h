// Shared by the console tests: each test starts on a fresh emulated terminal, and reads it back
// as a player would.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "platform/platform.h"
#include "platform/terminal.h"

namespace console_test {

namespace screen = platform::terminal::headless;

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override { platform::headless::enable(); }
    void TearDown() override { platform::headless::enable(); }

    // The whole emulated screen, one line per row, for failure messages.
    static std::string dump() {
        std::string all;
        platform::terminal::Cell size = screen::screenSize();
        for (int row = 1; row <= size.row; ++row) all += std::to_string(row) + "|" + screen::rowText(row) + "\n";
        return all;
    }
};

} // namespace console_test
