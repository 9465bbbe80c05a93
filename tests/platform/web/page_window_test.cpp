// The browser's window, terminal and saved files over the page (a stand-in for it under Node): the
// page's events become key and pointer state (a touch a tap besides), the pointer is mapped back
// through the letterbox, frames are sent whole and then only what changed, typed bytes reach the
// launcher, and the files the program writes in the saved folder are kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/press_hold.h"
#include "platform/terminal.h"
#include "platform/terminal/pipe.h"
#include "platform/web/page.h"
#include "platform/window_driver.h"
#include "node_page.h"

namespace {

using platform::Point;
using namespace platform::web;

constexpr Point FRAME{100, 50};

// The native backend over the page's window, opened at FRAME in a canvas of the same size, with
// nothing down and nothing queued.
class PageWindow : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::disable();
        platform::detail::useWindowDriver(platform::detail::SYSTEM_WINDOW);
        platform::openWindow(FRAME.x, FRAME.y, false);
        node_page_event(FOCUS_LOST, 0, 0, 0);
        platform::keyDown(0); // reads the queue
        // Presses made before the test are held no longer.
        std::this_thread::sleep_for(std::chrono::milliseconds(platform::PressHold::HOLD_MS + 5));
    }
    void TearDown() override { platform::headless::enable(); }

    static void afterHold() { std::this_thread::sleep_for(std::chrono::milliseconds(platform::PressHold::HOLD_MS + 5)); }
};

struct KeyCase {
    const char* name;
    std::vector<Event> events;
    int vk;
    bool downAtOnce;    // at the next poll
    bool downAfterHold; // once a quick press is held no longer
};

TEST_F(PageWindow, EventsBecomeKeyAndButtonState) {
    const std::vector<KeyCase> cases = {
        {"a key held", {{KEY_DOWN, 'A'}}, 'A', true, true},
        {"a key let go", {{KEY_DOWN, 'A'}, {KEY_UP, 'A'}}, 'A', true, false},
        {"another key is not down", {{KEY_DOWN, 'A'}}, 'B', false, false},
        {"the left button held", {{BUTTON_DOWN, platform::VK_LBUTTON, 5, 5}}, platform::VK_LBUTTON, true, true},
        {"a click between two polls", {{BUTTON_DOWN, platform::VK_LBUTTON, 5, 5}, {BUTTON_UP, platform::VK_LBUTTON, 5, 5}},
         platform::VK_LBUTTON, true, false},
        {"the page lost the keyboard", {{KEY_DOWN, platform::VK_SPACE}, {FOCUS_LOST}}, platform::VK_SPACE, true, false},
        {"a code beyond the keys", {{KEY_DOWN, 300}, {KEY_DOWN, -5}}, 300 & 0xFF, false, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        node_page_event(FOCUS_LOST, 0, 0, 0);
        platform::keyDown(0);
        afterHold();
        for (const Event& e : c.events) node_page_event(e.type, e.code, e.x, e.y);
        EXPECT_EQ(platform::keyDown(c.vk), c.downAtOnce);
        afterHold();
        EXPECT_EQ(platform::keyDown(c.vk), c.downAfterHold);
    }
}

struct PointerCase {
    const char* name;
    Point canvas;  // the canvas's size in device pixels
    Point at;      // the pointer there
    Point inFrame; // where it lands on the frame (outside: a coordinate below 0 or beyond the frame)
};

TEST_F(PageWindow, ThePointerIsMappedBackThroughTheLetterbox) {
    const PointerCase cases[] = {
        {"a canvas of the frame's size", {100, 50}, {30, 20}, {30, 20}},
        {"a high-density canvas", {200, 100}, {61, 41}, {30, 20}},
        {"bars left and right", {300, 100}, {60, 50}, {5, 25}},
        {"on the left bar", {300, 100}, {10, 50}, {-1, 25}},
        {"bars above and below", {100, 150}, {50, 60}, {50, 10}},
        {"below the frame", {100, 150}, {50, 140}, {50, 50}},
    };
    for (const PointerCase& c : cases) {
        SCOPED_TRACE(c.name);
        node_page_set_client_size(c.canvas.x, c.canvas.y);
        node_page_event(POINTER_MOVED, 0, c.at.x, c.at.y);
        Point p = platform::windowPointer();
        if (c.inFrame.x < 0) EXPECT_LT(p.x, 0);
        else if (c.inFrame.x >= FRAME.x) EXPECT_GE(p.x, FRAME.x);
        else EXPECT_EQ(p.x, c.inFrame.x);
        if (c.inFrame.y >= FRAME.y) EXPECT_GE(p.y, FRAME.y);
        else EXPECT_EQ(p.y, c.inFrame.y);
    }
}

TEST_F(PageWindow, ButtonsMoveThePointerToo) {
    node_page_event(BUTTON_DOWN, platform::VK_LBUTTON, 7, 8);
    Point p = platform::windowPointer();
    EXPECT_EQ(p.x, 7);
    EXPECT_EQ(p.y, 8);
}

// The part of the last frame sent to the page, and how many were sent.
struct Sent {
    int count = 0;
    std::vector<int> part = std::vector<int>(4);
};
Sent sent() {
    Sent s;
    s.count = node_page_shown(s.part.data(), -1, nullptr);
    return s;
}

TEST_F(PageWindow, AFrameIsSentWholeFirstAndThenOnlyThePartThatChanged) {
    std::vector<uint32_t> frame((size_t)FRAME.x * FRAME.y, 0x123456);
    frame[(size_t)7 * FRAME.x + 3] = 0xABCDEF;
    int before = sent().count;
    platform::present(frame.data(), FRAME.x, FRAME.y);
    int part[4] = {};
    uint32_t pixel = 0;
    EXPECT_EQ(node_page_shown(part, 7 * FRAME.x + 3, &pixel), before + 1);
    EXPECT_EQ(std::vector<int>(part, part + 4), (std::vector<int>{0, 0, FRAME.x, FRAME.y})) << "the whole frame";
    EXPECT_EQ(pixel, 0xABCDEFu) << "the frame's own pixels";

    frame[(size_t)7 * FRAME.x + 3] = 0x123456;
    frame[(size_t)30 * FRAME.x + 20] = 1;
    platform::present(frame.data(), FRAME.x, FRAME.y);
    EXPECT_EQ(sent().count, before + 2);
    EXPECT_EQ(sent().part, (std::vector<int>{3, 7, 18, 24})) << "from the one pixel that changed to the other";

    frame[(size_t)49 * FRAME.x + 99] = 2;
    platform::present(frame.data(), FRAME.x, FRAME.y);
    EXPECT_EQ(sent().part, (std::vector<int>{99, 49, 1, 1})) << "the last pixel of the frame";

    platform::present(frame.data(), FRAME.x, FRAME.y);
    EXPECT_EQ(sent().count, before + 3) << "the same frame again: nothing to send";

    // A frame of another size than the window's is not shown.
    std::vector<uint32_t> other(10 * 10);
    platform::present(other.data(), 10, 10);
    EXPECT_EQ(sent().count, before + 3);

    // The canvas lost what it showed: the frame goes whole again, at the next poll.
    node_page_event(RESIZED, 0, 0, 0);
    platform::keyDown(0);
    EXPECT_EQ(sent().count, before + 4);
    EXPECT_EQ(sent().part, (std::vector<int>{0, 0, FRAME.x, FRAME.y}));
}

TEST_F(PageWindow, AWindowOpenedAgainIsSentWhole) {
    std::vector<uint32_t> frame((size_t)FRAME.x * FRAME.y, 5);
    platform::present(frame.data(), FRAME.x, FRAME.y);
    platform::openWindow(FRAME.x, FRAME.y, false);
    int before = sent().count;
    platform::present(frame.data(), FRAME.x, FRAME.y);
    EXPECT_EQ(sent().count, before + 1);
    EXPECT_EQ(sent().part, (std::vector<int>{0, 0, FRAME.x, FRAME.y}));
}

TEST_F(PageWindow, ATapIsToldApartFromAClickAndAnsweredOnce) {
    EXPECT_FALSE(platform::tapped());
    node_page_event(BUTTON_DOWN, platform::VK_LBUTTON, 5, 5);
    node_page_event(BUTTON_UP, platform::VK_LBUTTON, 5, 5);
    platform::keyDown(platform::VK_SPACE); // reads the queue
    EXPECT_FALSE(platform::tapped()) << "a click of the mouse";
    node_page_event(BUTTON_DOWN, platform::VK_LBUTTON, 5, 5);
    node_page_event(BUTTON_UP, platform::VK_LBUTTON, 5, 5);
    node_page_event(TAPPED, 0, 0, 0);
    EXPECT_TRUE(platform::keyDown(platform::VK_LBUTTON)) << "a touch is a click too";
    EXPECT_TRUE(platform::tapped());
    EXPECT_FALSE(platform::tapped()) << "answered once";
}

TEST_F(PageWindow, TheWindowOpensAsAskedAndTheDesktopIsTheBrowserWindow) {
    platform::openWindow(60, 40, true);
    int size[3] = {};
    ASSERT_TRUE(node_page_window_opened(size));
    EXPECT_EQ(std::vector<int>(size, size + 3), (std::vector<int>{60, 40, 1})) << "debug mode keeps the terminal";
    node_page_set_desktop_size(1280, 900);
    Point desktop = platform::desktopSize();
    EXPECT_EQ(desktop.x, 1280);
    EXPECT_EQ(desktop.y, 900);
}

// The page's terminal under the launcher: what the player types arrives as keys, a mouse report
// moves the pointer, and input that is already there is taken without waiting (a wait yields to
// the browser, which these tests cannot: it would end the test program).
class PageTerminal : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::disable();
        platform::terminal::detail::useTerminal(platform::terminal::detail::SYSTEM_TERMINAL);
        platform::terminal::beginInput();
    }
    void TearDown() override {
        platform::terminal::endInput();
        platform::headless::enable();
    }
    static void type(const std::string& bytes) { node_page_type(bytes.data(), (int)bytes.size()); }
};

TEST_F(PageTerminal, TypedBytesReachTheLauncher) {
    ASSERT_TRUE(platform::terminal::interactive());
    type("\r\x1b[<0;12;4M\x1b[<0;12;4m");
    EXPECT_TRUE(platform::terminal::detail::SYSTEM_TERMINAL.pipe->waitInput(1000)) << "input waiting: no wait";
    EXPECT_EQ(platform::terminal::readKey(), 13);
    platform::terminal::Cell at = platform::terminal::pointer();
    EXPECT_EQ(at.row, 4);
    EXPECT_EQ(at.col, 12);
    EXPECT_EQ(node_page_terminal_pending(), 0) << "everything was read";
}

TEST_F(PageTerminal, InputTypedForTheLauncherIsDiscardedWhenAsked) {
    type("xyz");
    platform::terminal::detail::SYSTEM_TERMINAL.pipe->discardInput();
    EXPECT_EQ(node_page_terminal_pending(), 0);
    EXPECT_FALSE(platform::terminal::keyWaiting());
}

// The settings the launcher writes are kept in the browser's storage as soon as the file is
// closed; reading a file, or writing one elsewhere, keeps nothing.
TEST(PageStorage, FilesWrittenInTheSavedFolderAreKept) {
    namespace fs = std::filesystem;
    fs::path saved = fs::current_path() / "web-saved";
    fs::create_directories(saved);
    std::string error;
    int before = node_page_storage_saves();
    ASSERT_TRUE(platform::writeFile((saved / "setting.ini").string(), "1\n0\n", error)) << error;
    EXPECT_EQ(node_page_storage_saves(), before + 1);
    std::ofstream((saved / "other.ini").string()) << "2\n";
    EXPECT_EQ(node_page_storage_saves(), before + 2) << "through the C++ library too";

    std::string bytes;
    ASSERT_TRUE(platform::readFile((saved / "setting.ini").string(), 64, bytes, error)) << error;
    EXPECT_EQ(bytes, "1\n0\n");
    ASSERT_TRUE(platform::writeFile((fs::current_path() / "web-not-saved.ini").string(), "x", error)) << error;
    EXPECT_EQ(node_page_storage_saves(), before + 2) << "a read, and a file outside the folder";
    fs::remove_all(saved);
    fs::remove(fs::current_path() / "web-not-saved.ini");
}

TEST(PageFiles, TheProgramIsWhereItsPicturesAreFoundBesideIt) {
    EXPECT_EQ(platform::executablePath(), "/bin/cardbattle");
}

} // namespace
