// The launcher: its screen, the settings file in all its states, mouse and keys, and what it
// leaves behind (the game reset and scaled, the window, the saved choice, the terminal).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>

#include "console/console.h"
#include "console/start.h"
#include "support/console_fixture.h"
#include "game/game.h"
#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "render/assets.h"
#include "render/language.h"
#include "support/png_bytes.h"

namespace fs = std::filesystem;
using namespace console_test;
namespace headless = platform::headless;

class Launcher : public ConsoleTest {
protected:
    fs::path home;
    fs::path dir;

    void SetUp() override {
        ConsoleTest::SetUp();
        home = fs::current_path();
        std::random_device random;
        dir = fs::temp_directory_path() / ("cardbattle-launcher-" + std::to_string(random()));
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(home);
        fs::remove_all(dir);
        ConsoleTest::TearDown();
    }

    static void writeSettings(const std::string& content) { std::ofstream("setting.ini") << content; }
    static std::string savedSettings() {
        std::ifstream in("setting.ini");
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }
    static void click(int row, int col) {
        screen::movePointer(row, col);
        screen::setLeftButton(true);
        screen::setLeftButton(false);
    }
    // The row of the list (0 to 2) shown as chosen, or -1.
    static int highlightedRow() {
        int found = -1;
        for (int i = 0; i < 3; ++i)
            if (screen::background(7 + i, 7) == 9 && screen::background(7 + i, 21) == 9) found = found == -1 ? i : -2;
        return found;
    }

    // Runs the launcher; the script runs at every poll and sleep with the number of the poll.
    int polls = 0;
    Settings chosen;
    void launch(Game& game, std::function<void(int)> script, std::optional<Language> asked = std::nullopt,
                std::optional<Opponent> askedOpponent = std::nullopt) {
        polls = 0;
        headless::setCallback([this, script] {
            if (++polls > 5000) throw std::runtime_error("the launcher is still waiting");
            script(polls);
        });
        chosen = createGame(game, AskedChoices{asked, askedOpponent});
        headless::setCallback(nullptr);
    }
};

TEST_F(Launcher, StoredChoicesShowAndEnterStartsWithThem) {
    writeSettings("2\n1\n");
    Game game;
    game.gameEnd = true;
    game.status = USECARD;
    launch(game, [](int poll) {
        if (poll == 3) {
            // The check box shows the stored flag from its first poll on.
            EXPECT_EQ(screen::text(6, 24, 13), "[O]Debug Mode");
            EXPECT_EQ(screen::foreground(6, 25), 10);
            screen::pressKey(screen::Key::Enter);
        }
        if (poll != 1) return;
        EXPECT_EQ(screen::title(), "Game Launcher");
        EXPECT_EQ(screen::screenSize().col, 60);
        EXPECT_EQ(screen::screenSize().row, 20);
        EXPECT_FALSE(screen::cursorVisible());
        EXPECT_EQ(screen::rowText(4), std::string(16, ' ') + "  Game Launcher - Settings");
        EXPECT_EQ(screen::foreground(4, 19), 14);
        EXPECT_EQ(screen::text(6, 7, 30), " Set Resolution  [ ]Debug Mode");
        EXPECT_EQ(screen::text(7, 7, 15), "   512 * 756   ");
        EXPECT_EQ(screen::text(9, 7, 15), "  1024 * 1512  ");
        EXPECT_EQ(highlightedRow(), 2) << dump();
        EXPECT_EQ(screen::text(16, 26, 9), "  Start  ");
        EXPECT_EQ(screen::background(16, 26), 2);
    });
    EXPECT_EQ(polls, 4) << "Enter ends the first pass";
    headless::WindowRequest window = headless::windowRequest();
    EXPECT_TRUE(window.opened);
    EXPECT_EQ(window.width, 1512);
    EXPECT_EQ(window.height, 1024);
    EXPECT_TRUE(window.keepTerminal) << "debug mode keeps the console";
    EXPECT_EQ(game.rate, 1.0);
    EXPECT_FALSE(game.gameEnd) << "the game is reset to its defaults";
    EXPECT_EQ(game.status, DISABLE);
    EXPECT_EQ(savedSettings(), "2\n1\n");
    // The shell's screen is back and the terminal's input handed back; the cursor stays hidden.
    EXPECT_FALSE(screen::alternateScreen());
    EXPECT_EQ(screen::rowText(9), "");
    EXPECT_FALSE(screen::rawMode());
    EXPECT_FALSE(screen::mouseReporting());
    EXPECT_FALSE(screen::cursorVisible());
}

TEST_F(Launcher, ClickingTheSecondRowAndStartOpensTheMiddleWindow) {
    // A catalogue whose picture files are missing still gets its sizes at the chosen scale.
    fs::create_directory("asset");
    std::ofstream("asset/size.ini") << "1\n100 50\n";
    std::ofstream("asset/content.ini") << "missing lobby\n";
    Game game;
    long long startedAt = 0;
    launch(game, [&](int poll) {
        if (poll == 1) {
            EXPECT_EQ(highlightedRow(), 2) << "no file: the largest window that fits is shown chosen";
            click(8, 10);
        }
        // The pointer comes to Start before the click, as a hand moves it (the list, still under
        // it, would otherwise take the click).
        if (poll == 12) {
            EXPECT_EQ(highlightedRow(), 1);
            screen::movePointer(16, 34);
        }
        if (poll == 20) {
            click(16, 34);
            startedAt = headless::clock();
        }
    });
    EXPECT_EQ(headless::clock() - startedAt, SLEEP_TIME) << "Start waits after its click";
    headless::WindowRequest window = headless::windowRequest();
    EXPECT_EQ(window.width, 1134);
    EXPECT_EQ(window.height, 768);
    EXPECT_FALSE(window.keepTerminal);
    EXPECT_EQ(game.rate, 0.75);
    EXPECT_EQ(savedSettings(), "1\n0\n");
    ASSERT_EQ(game.pmap.count("lobby"), 1u);
    EXPECT_EQ(game.pmap["lobby"]->height, 75);
    EXPECT_EQ(game.pmap["lobby"]->width, 37);
}

TEST_F(Launcher, ClickingTheCheckBoxTwiceLeavesItClearAfterTwoPauses) {
    writeSettings("0\n0\n");
    Game game;
    std::string ticked;
    launch(game, [&](int poll) {
        if (poll == 1 || poll == 20) click(6, 30);
        if (poll == 19) ticked = screen::text(6, 24, 3);
        if (poll == 40) screen::pressKey(screen::Key::Enter);
    });
    EXPECT_EQ(ticked, "[O]");
    EXPECT_EQ(headless::sleepCount(), 2);
    EXPECT_EQ(headless::clock(), 2 * SLEEP_TIME);
    EXPECT_EQ(savedSettings(), "0\n0\n");
    EXPECT_EQ(headless::windowRequest().width, 756);
}

TEST_F(Launcher, SpaceHeldAtTheStartEndsTheFirstPassWithTheStoredChoices) {
    writeSettings("1\n1\n");
    headless::setKey(platform::VK_SPACE, true);
    Game game;
    std::string box;
    launch(game, [&](int) { box = screen::text(6, 24, 3); });
    EXPECT_EQ(polls, 5) << "list, check box, button, Enter, Space";
    EXPECT_EQ(box, "[O]") << "the check box was redrawn with the stored flag in that pass";
    EXPECT_EQ(headless::windowRequest().width, 1134);
    EXPECT_TRUE(headless::windowRequest().keepTerminal);
}

TEST_F(Launcher, ArrowKeysMoveTheChoiceAndDTogglesDebug) {
    writeSettings("0\n0\n");
    Game game;
    int shown = -1;
    launch(game, [&](int poll) {
        switch (poll) {
        case 1: headless::setKey(platform::VK_DOWN, true); break;
        case 10: headless::setKey(platform::VK_DOWN, false); break;
        case 20: headless::setKey(platform::VK_DOWN, true); break;
        case 30: headless::setKey(platform::VK_DOWN, false); break;
        case 40: headless::setKey(platform::VK_DOWN, true); break; // already on the last row
        case 50: headless::setKey(platform::VK_DOWN, false); break;
        case 55: shown = highlightedRow(); break;
        case 60: screen::type("d"); break;
        case 70: headless::setKey(platform::VK_UP, true); break;
        case 90: headless::setKey(platform::VK_RETURN, true); break;
        default: break;
        }
    });
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(savedSettings(), "1\n1\n") << "held keys act once";
}

struct SettingsCase {
    const char* name;
    const char* content; // nullptr: no file
    platform::Point desktop;
    int index;
    bool debug;
};

class LauncherSettings : public Launcher, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(LauncherSettings, TheFileGivesTheChoiceOrTheLargestWindowThatFits) {
    const SettingsCase& c = GetParam();
    if (c.content) writeSettings(c.content);
    headless::setDesktopSize(c.desktop.x, c.desktop.y);
    Game game;
    int shown = -3;
    launch(game, [&](int poll) {
        if (poll != 1) return;
        shown = highlightedRow();
        headless::setKey(platform::VK_RETURN, true);
    });
    EXPECT_EQ(shown, c.index) << "the row that will be used is shown chosen";
    EXPECT_EQ(headless::windowRequest().height, RESOLUTIONS[c.index][0]);
    EXPECT_EQ(headless::windowRequest().width, RESOLUTIONS[c.index][1]);
    EXPECT_EQ(headless::windowRequest().keepTerminal, c.debug);
    EXPECT_EQ(savedSettings(), std::to_string(c.index) + "\n" + (c.debug ? "1" : "0") + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, LauncherSettings,
    ::testing::Values(SettingsCase{"Missing", nullptr, {1920, 1080}, 2, false},
                      SettingsCase{"MissingOnASmallerDesktop", nullptr, {1366, 768}, 1, false},
                      SettingsCase{"EmptyOnATinyDesktop", "", {800, 600}, 0, false},
                      // The widths of the two larger windows fit exactly; a pixel less does not.
                      SettingsCase{"MissingOnADesktopExactlyTheLargestWide", nullptr, {1512, 1200}, 2, false},
                      SettingsCase{"MissingOnADesktopAPixelNarrowerThanTheLargest", nullptr, {1511, 1200}, 1, false},
                      SettingsCase{"MissingOnADesktopExactlyTheMiddleWide", nullptr, {1134, 1200}, 1, false},
                      SettingsCase{"MissingOnADesktopAPixelNarrowerThanTheMiddle", nullptr, {1133, 1200}, 0, false},
                      SettingsCase{"OnlyTheIndex", "1", {1920, 1080}, 1, false},
                      SettingsCase{"Blanks", "  2 \n\n 1", {1920, 1080}, 2, true},
                      SettingsCase{"NotANumberReadsAsZero", "abc\n1\n", {1920, 1080}, 0, false},
                      SettingsCase{"IndexTooLarge", "7\n1\n", {1920, 1080}, 2, true},
                      SettingsCase{"IndexNegative", "-1\n0\n", {1366, 768}, 1, false},
                      SettingsCase{"IndexOverflowing", "99999999999\n1\n", {1366, 768}, 1, false}),
    [](const ::testing::TestParamInfo<SettingsCase>& info) { return std::string(info.param.name); });

TEST_F(Launcher, AnUnwritableSettingsFileDoesNotStopTheGame) {
    fs::create_directory("setting.ini");
    Game game;
    ::testing::internal::CaptureStderr();
    launch(game, [](int) { headless::setKey(platform::VK_RETURN, true); });
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(headless::windowRequest().opened);
    EXPECT_EQ(headless::windowRequest().width, 1512);
    EXPECT_NE(errors.find("cannot write setting.ini"), std::string::npos) << errors;
}

TEST_F(Launcher, WithoutATerminalItStartsAtOnceWithTheSavedSettings) {
    screen::setInteractive(false);
    writeSettings("0\n1\n");
    Game game;
    ::testing::internal::CaptureStderr();
    launch(game, [](int) {});
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(headless::windowRequest().width, 756);
    EXPECT_TRUE(headless::windowRequest().keepTerminal);
    EXPECT_EQ(game.rate, 0.5);
    EXPECT_EQ(savedSettings(), "0\n1\n");
    EXPECT_EQ(screen::bytesWritten(), 0) << "no escape sequences into a file or a pipe";
    EXPECT_NE(errors.find("not running in a terminal"), std::string::npos) << errors;
}

// A terminal the player started smaller than the launcher's 60 x 20: the widgets close up within
// 40 x 12 under one line that says so, and every control works there; at 60 x 20 and beyond
// nothing moves.
struct TerminalCase {
    const char* name;
    int cols, rows;
    bool compact;
};

class LauncherInATerminal : public Launcher, public ::testing::WithParamInterface<TerminalCase> {};

TEST_P(LauncherInATerminal, OfEverySizeShowsEveryControlWithinIt) {
    const TerminalCase& c = GetParam();
    writeSettings("0\n0\n");
    platform::terminal::setSize(c.cols, c.rows); // the terminal as the player started it
    struct Cells {
        int titleRow, titleCol, listRow, listCol, debugRow, debugCol, startRow, startCol, languageRow, languageCol;
    };
    const Cells at = c.compact ? Cells{3, 7, 5, 3, 5, 22, 10, 16, 11, 5} : Cells{4, 17, 6, 7, 6, 24, 16, 26, 19, 15};
    int usedRows = 0, widest = 0;
    std::string note, title, list, debug, start, languageLine, opponentLine;
    Game game;
    launch(game, [&](int poll) {
        if (poll == 1) {
            for (int row = 1; row <= screen::screenSize().row; ++row)
                if (!screen::rowText(row).empty()) {
                    usedRows = row;
                    widest = std::max(widest, (int)screen::rowText(row).size());
                }
            note = screen::rowText(1);
            title = screen::text(at.titleRow, at.titleCol, 26);
            list = screen::text(at.listRow, at.listCol, 15) + "|" + screen::text(at.listRow + 1, at.listCol, 15) + "|" +
                   screen::text(at.listRow + 3, at.listCol, 15);
            debug = screen::text(at.debugRow, at.debugCol, 13);
            start = screen::text(at.startRow, at.startCol, 9);
            languageLine = screen::rowText(at.languageRow);
            opponentLine = screen::rowText(at.languageRow + 1);
            click(at.debugRow, at.debugCol + 5);
        }
        if (poll == 20) headless::setKey(platform::VK_DOWN, true);
        if (poll == 30) headless::setKey(platform::VK_DOWN, false);
        // The pointer comes to Start before the click, as a hand moves it.
        if (poll == 40) screen::movePointer(at.startRow, at.startCol + 4);
        if (poll == 50) click(at.startRow, at.startCol + 4);
    });
    EXPECT_EQ(title, "  Game Launcher - Settings") << dump();
    EXPECT_EQ(list, " Set Resolution|   512 * 756   |  1024 * 1512  ") << dump();
    EXPECT_EQ(debug, "[ ]Debug Mode") << dump();
    EXPECT_EQ(start, "  Start  ") << dump();
    EXPECT_EQ(languageLine, std::string(at.languageCol - 1, ' ') + "Language (L to change): Chinese")
        << "on a line no widget draws on:\n" << dump();
    EXPECT_EQ(opponentLine, std::string(at.languageCol - 1, ' ') + "Opponent (O to change): Standard") << dump();
    if (c.compact) {
        EXPECT_EQ(note, smallTerminalNote(std::min(c.cols, 60))) << "the terminal is asked for 60 columns";
        EXPECT_NE(note.find("60 x 20"), std::string::npos) << note;
        EXPECT_LE(usedRows, c.rows) << "drawn below the terminal's last line:\n" << dump();
        EXPECT_LE(widest, c.cols) << "drawn past the terminal's last column:\n" << dump();
    } else {
        EXPECT_EQ(note, "") << "the full screen has no note";
    }
    EXPECT_EQ(savedSettings(), "1\n1\n") << "the check box, the arrow key and Start all reached";
    EXPECT_EQ(headless::windowRequest().width, 1134);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LauncherInATerminal,
                         ::testing::Values(TerminalCase{"ExactlyTheLaunchersSize", 60, 20, false},
                                           TerminalCase{"Larger", 100, 40, false},
                                           TerminalCase{"AColumnShort", 59, 20, true},
                                           TerminalCase{"ALineShort", 60, 19, true},
                                           TerminalCase{"FortyByTwelve", 40, 12, true},
                                           TerminalCase{"WideButLow", 120, 12, true}),
                         [](const ::testing::TestParamInfo<TerminalCase>& info) { return std::string(info.param.name); });

// The language: a line of its own where no widget draws, L to switch it, the choice kept as the
// third line of setting.ini and set before the pictures load.
TEST_F(Launcher, TheLanguageShowsOnALineOfItsOwnAndLSwitchesIt) {
    writeSettings("2\n1\n");
    Game game;
    std::string before, chinese, english, widgetsBefore, widgetsAfter;
    auto widgets = [] {
        std::string rows;
        for (int row = 1; row <= 18; ++row) rows += screen::rowText(row) + "\n";
        return rows;
    };
    std::string back;
    launch(game, [&](int poll) {
        // The first pass has drawn every widget with the stored choices.
        if (poll == 12) {
            chinese = screen::rowText(19);
            widgetsBefore = widgets();
            EXPECT_EQ(screen::foreground(19, 15), 7);
            EXPECT_EQ(screen::foreground(19, 39), 15) << "the language's name stands out";
            headless::setKey('L', true);
        }
        if (poll == 40) headless::setKey('L', false);
        if (poll == 60) {
            english = screen::rowText(19);
            widgetsAfter = widgets();
        }
        // Each press switches once, however long the key is held; typed, as a terminal sends it.
        if (poll == 80) headless::setKey('L', true);
        if (poll == 120) headless::setKey('L', false);
        if (poll == 130) back = screen::text(19, 39, 7);
        if (poll == 140) screen::type("l");
        if (poll == 180) headless::setKey(platform::VK_RETURN, true);
    });
    EXPECT_EQ(back, "Chinese");
    EXPECT_EQ(chinese, std::string(14, ' ') + "Language (L to change): Chinese") << dump();
    EXPECT_EQ(english, std::string(14, ' ') + "Language (L to change): English");
    EXPECT_EQ(widgetsAfter, widgetsBefore) << "switching redraws the language's line alone";
    EXPECT_EQ(screen::rowText(20), "");
    EXPECT_EQ(game.language, Language::ENGLISH);
    EXPECT_EQ(savedSettings(), "2\n1\nen\n");
}

TEST_F(Launcher, EnglishIsChosenBeforeThePicturesLoad) {
    fs::create_directories("asset/en");
    std::ofstream("asset/size.ini") << "1\n8 8\n";
    std::ofstream("asset/content.ini") << "pic lobby\n";
    constexpr uint32_t CHINESE_COLOUR = 0x40A040, ENGLISH_COLOUR = 0x4040C0;
    testing_support::writeSolidPng("asset/pic.png", 8, 8, 0xFF000000 | CHINESE_COLOUR);
    testing_support::writeSolidPng("asset/en/pic.png", 8, 8, 0xFF000000 | ENGLISH_COLOUR);
    writeSettings("2\n0\nen\n");
    Game game;
    launch(game, [](int) { headless::setKey(platform::VK_RETURN, true); });
    ASSERT_EQ(game.pmap.count("lobby"), 1u);
    ASSERT_FALSE(game.pmap["lobby"]->img.surface.pixels.empty());
    EXPECT_EQ(game.pmap["lobby"]->img.surface.pixels[0] & 0xFFFFFF, ENGLISH_COLOUR);
}

// The third and fourth lines of setting.ini, the command line's choices and the L and O keys,
// with the launcher and without a terminal: the language played in and the opponent played
// against, the file written, a word for a line that names nothing.
struct LanguageCase {
    const char* name;
    const char* content; // nullptr: no file
    std::optional<Language> asked;
    int switches; // presses of L on the launcher (none without a terminal)
    Language played;
    const char* saved;
    const char* complaint; // shown in the word on standard error; nullptr: no word
    std::optional<Opponent> askedOpponent = std::nullopt;
    int opponentSwitches = 0; // presses of O, after those of L
    Opponent opponent = Opponent::STANDARD;
    const char* opponentComplaint = nullptr;
};

using LanguageRun = std::tuple<LanguageCase, bool>; // the case, and whether a terminal is there

class LauncherLanguage : public Launcher, public ::testing::WithParamInterface<LanguageRun> {};

TEST_P(LauncherLanguage, ComesFromTheFileTheCommandLineAndTheKey) {
    const auto& [c, inTerminal] = GetParam();
    screen::setInteractive(inTerminal);
    headless::setDesktopSize(1920, 1080);
    if (c.content) writeSettings(c.content);
    Game game;
    ::testing::internal::CaptureStderr();
    int presses = c.switches + c.opponentSwitches;
    launch(
        game,
        [&](int poll) {
            int key = poll / 40 < c.switches ? 'L' : 'O';
            if (poll / 40 < presses && poll % 40 == 1) headless::setKey(key, true);
            if (poll / 40 < presses && poll % 40 == 21) headless::setKey(key, false);
            if (poll == 40 * presses + 10) headless::setKey(platform::VK_RETURN, true);
        },
        c.asked, c.askedOpponent);
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(game.language, c.played);
    EXPECT_EQ(chosen.opponent.chosen, c.opponent);
    if (c.opponentComplaint) {
        EXPECT_NE(errors.find("the fourth line " + std::string(c.opponentComplaint) + " names no opponent"),
                  std::string::npos)
            << errors;
    }
    EXPECT_EQ(savedSettings(), c.saved);
    if (c.complaint) {
        EXPECT_NE(errors.find("setting.ini: the third line " + std::string(c.complaint) + " names no language"),
                  std::string::npos)
            << errors;
        EXPECT_EQ(errors.find('\x1b'), std::string::npos) << "no control byte reaches the terminal";
        EXPECT_LT(errors.size(), 600u) << "a long line is not echoed whole";
    } else {
        EXPECT_EQ(errors.find("names no language"), std::string::npos) << errors;
    }
    if (!inTerminal) {
        std::string said = std::string(", in ") + languageName(c.played);
        EXPECT_NE(errors.find(said), std::string::npos) << errors;
    }
}

const std::string LONG_LINE(10000, 'x');
const std::string LONG_LINE_FILE = "1\n0\n" + LONG_LINE + "\n";
const std::string LONG_LINE_KEPT = "1\n0\n" + LONG_LINE.substr(0, 64) + "\n";
const std::string LONG_LINE_SHOWN = "'" + LONG_LINE.substr(0, 64) + "'";

const LanguageCase LANGUAGE_CASES[] = {
    // The file alone.
    {"TwoLinesAreChinese", "2\n1\n", {}, 0, Language::CHINESE, "2\n1\n", nullptr},
    {"EnIsEnglish", "2\n1\nen\n", {}, 0, Language::ENGLISH, "2\n1\nen\n", nullptr},
    {"ZhIsChineseAndKept", "2\n1\nzh\n", {}, 0, Language::CHINESE, "2\n1\nzh\n", nullptr},
    {"WindowsLineEnds", "0\r\n1\r\nen\r\n", {}, 0, Language::ENGLISH, "0\n1\nen\n", nullptr},
    {"NoNewlineAtTheEnd", "0\n0\n  en", {}, 0, Language::ENGLISH, "0\n0\nen\n", nullptr},
    {"BlankLinesBefore", "1\n1\n\n\nen\n", {}, 0, Language::ENGLISH, "1\n1\nen\n", nullptr},
    {"NoDebugFlagNoLanguage", "2\n", {}, 0, Language::CHINESE, "2\n0\n", nullptr},
    {"AFirstLineNotANumberEndsTheReading", "abc\nen\nen\n", {}, 0, Language::CHINESE, "0\n0\n", nullptr},
    {"AnotherWordReadsAsChineseAndIsKept", "2\n1\nfr\n", {}, 0, Language::CHINESE, "2\n1\nfr\n", "'fr'"},
    {"CapitalsAreAnotherWord", "2\n1\nEN\n", {}, 0, Language::CHINESE, "2\n1\nEN\n", "'EN'"},
    {"TwoCodes", "2\n1\nen zh\n", {}, 0, Language::CHINESE, "2\n1\nen zh\n", "'en zh'"},
    {"ControlBytesAreNotEchoed", "2\n1\n\x1b[2J\n", {}, 0, Language::CHINESE, "2\n1\n\x1b[2J\n", "'?[2J'"},
    {"AVeryLongLine", LONG_LINE_FILE.c_str(), {}, 0, Language::CHINESE, LONG_LINE_KEPT.c_str(), LONG_LINE_SHOWN.c_str()},
    // The command line's choice replaces the file's and is kept.
    {"AskedForEnglish", "2\n1\n", Language::ENGLISH, 0, Language::ENGLISH, "2\n1\nen\n", nullptr},
    {"AskedForChineseOverEnglish", "2\n1\nen\n", Language::CHINESE, 0, Language::CHINESE, "2\n1\nzh\n", nullptr},
    {"AskedForWhatTheFileHas", "2\n1\nen\n", Language::ENGLISH, 0, Language::ENGLISH, "2\n1\nen\n", nullptr},
    {"AskedForEnglishOverAnotherWord", "2\n1\nfr\n", Language::ENGLISH, 0, Language::ENGLISH, "2\n1\nen\n", nullptr},
    {"AskedForEnglishWithoutAFile", nullptr, Language::ENGLISH, 0, Language::ENGLISH, "2\n0\nen\n", nullptr},
    // The L key, after the file and the command line.
    {"SwitchedToEnglish", "1\n0\n", {}, 1, Language::ENGLISH, "1\n0\nen\n", nullptr},
    {"SwitchedToChinese", "1\n0\nen\n", {}, 1, Language::CHINESE, "1\n0\nzh\n", nullptr},
    {"SwitchedTwiceKeepsTheFile", "1\n0\nen\n", {}, 2, Language::ENGLISH, "1\n0\nen\n", nullptr},
    {"SwitchedFromAnotherWord", "1\n0\nfr\n", {}, 1, Language::ENGLISH, "1\n0\nen\n", "'fr'"},
    {"SwitchedBackFromTheCommandLine", "1\n0\n", Language::ENGLISH, 1, Language::CHINESE, "1\n0\n", nullptr},
    // The opponent: the fourth line, the command line and the O key.
    {"StrongOnTheFourthLine", "2\n1\nen\nstrong\n", {}, 0, Language::ENGLISH, "2\n1\nen\nstrong\n", nullptr, {}, 0,
     Opponent::STRONG},
    {"AnotherOpponentIsStandardAndKept", "2\n1\nzh\nhard\n", {}, 0, Language::CHINESE, "2\n1\nzh\nhard\n", nullptr,
     {}, 0, Opponent::STANDARD, "'hard'"},
    {"AskedForTheStrongOne", "2\n1\n", {}, 0, Language::CHINESE, "2\n1\nzh\nstrong\n", nullptr, Opponent::STRONG, 0,
     Opponent::STRONG},
    {"SwitchedToTheStrongOne", "1\n0\nen\n", {}, 0, Language::ENGLISH, "1\n0\nen\nstrong\n", nullptr, {}, 1,
     Opponent::STRONG},
    {"SwitchedBackToTheStandardOne", "1\n0\nzh\nstrong\n", {}, 1, Language::ENGLISH, "1\n0\nen\nstandard\n",
     nullptr, {}, 1, Opponent::STANDARD},
};

// Every case on the launcher; those without a key press without a terminal too.
std::vector<LanguageRun> languageRuns() {
    std::vector<LanguageRun> runs;
    for (const LanguageCase& c : LANGUAGE_CASES) {
        runs.emplace_back(c, true);
        if (c.switches + c.opponentSwitches == 0) runs.emplace_back(c, false);
    }
    return runs;
}

INSTANTIATE_TEST_SUITE_P(Choices, LauncherLanguage, ::testing::ValuesIn(languageRuns()),
                         [](const ::testing::TestParamInfo<LanguageRun>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_Launcher" : "_NoTerminal");
                         });
