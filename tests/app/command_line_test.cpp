// The command line: no options play; --language chooses the language and plays; --help and
// --version answer on standard output and end with status 0; anything else is refused on standard
// error with status 2.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "render/assets.h"

namespace {

struct Outcome {
    CommandLine command;
    std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    Outcome o{readCommandLine(args, out, err), "", ""};
    o.out = out.str();
    o.err = err.str();
    return o;
}

struct Refused {
    const char* name;
    std::vector<std::string> args;
    const char* complaint;
};

class CommandLineRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(CommandLineRefuses, WithStatusTwoAndAWordOnStandardError) {
    Outcome o = run(GetParam().args);
    EXPECT_FALSE(o.command.play);
    EXPECT_EQ(o.command.exitCode, 2);
    EXPECT_EQ(o.out, "") << "nothing is answered";
    EXPECT_NE(o.err.find(GetParam().complaint), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Try 'cardbattle --help'"), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find('\x1b'), std::string::npos) << "no control byte is echoed to the terminal";
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineRefuses,
    ::testing::Values(Refused{"UnknownOption", {"--fullscreen"}, "unknown option '--fullscreen'"},
                      Refused{"ShortOption", {"-h"}, "unknown option '-h'"},
                      Refused{"ValueForAnOptionWithout", {"--help=all"}, "option '--help' takes no value"},
                      Refused{"PlainArgument", {"setting.ini"}, "takes no arguments, only options: 'setting.ini'"},
                      Refused{"LoneDash", {"-"}, "takes no arguments"},
                      Refused{"UnknownBeforeHelp", {"--bogus", "--help"}, "unknown option '--bogus'"},
                      Refused{"EscapeSequence", {"--\x1b[2J"}, "unknown option '--?[2J'"},
                      Refused{"DeleteByte", {"--\x7f"}, "unknown option '--?'"},
                      Refused{"UnknownLanguage", {"--language=fr"}, "option '--language' takes en|zh, not 'fr'"},
                      Refused{"LanguageInCapitals", {"--language=EN"}, "option '--language' takes en|zh, not 'EN'"},
                      Refused{"LanguageEmpty", {"--language="}, "option '--language' takes en|zh, not ''"},
                      Refused{"LanguageWithoutItsValue", {"--language", "en"}, "needs a value: --language=en|zh"},
                      Refused{"LanguageWithAControlByte", {"--language=en\x1b"}, "not 'en?'"},
                      Refused{"AGoodLanguageThenABadOne", {"--language=en", "--language=de"}, "not 'de'"},
                      Refused{"UnknownOpponent", {"--opponent=hard"}, "option '--opponent' takes standard|strong, not 'hard'"}),
    [](const ::testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

TEST(CommandLine, NoArgumentsPlayWithoutAWord) {
    Outcome o = run({});
    EXPECT_TRUE(o.command.play);
    EXPECT_EQ(o.out + o.err, "");
}

struct Chosen {
    const char* name;
    std::vector<std::string> args;
    std::optional<Language> language;
    std::optional<Opponent> opponent;
};

class CommandLineChooses : public ::testing::TestWithParam<Chosen> {};

TEST_P(CommandLineChooses, TheLanguageOrTheOpponentAndPlaysWithoutAWord) {
    Outcome o = run(GetParam().args);
    EXPECT_TRUE(o.command.play);
    EXPECT_EQ(o.command.asked.language, GetParam().language);
    EXPECT_EQ(o.command.asked.opponent, GetParam().opponent);
    EXPECT_EQ(o.out + o.err, "");
}

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineChooses,
                         ::testing::Values(Chosen{"Nothing", {}, std::nullopt, std::nullopt},
                                           Chosen{"English", {"--language=en"}, Language::ENGLISH, std::nullopt},
                                           Chosen{"Chinese", {"--language=zh"}, Language::CHINESE, std::nullopt},
                                           Chosen{"TheLastOneCounts", {"--language=en", "--language=zh"}, Language::CHINESE, std::nullopt},
                                           Chosen{"Strong", {"--opponent=strong"}, std::nullopt, Opponent::STRONG},
                                           Chosen{"BothChoices", {"--opponent=standard", "--language=en"},
                                                  Language::ENGLISH, Opponent::STANDARD}),
                         [](const ::testing::TestParamInfo<Chosen>& info) { return std::string(info.param.name); });

TEST(CommandLine, AnAnsweringOptionAfterALanguageStillAnswers) {
    Outcome o = run({"--language=en", "--version"});
    EXPECT_FALSE(o.command.play);
    EXPECT_EQ(o.command.exitCode, 0);
    EXPECT_EQ(o.out, std::string("cardbattle ") + CARDBATTLE_VERSION + "\n");
}

TEST(CommandLine, VersionIsTheBuildsAndEndsWithStatusZero) {
    Outcome o = run({"--version"});
    EXPECT_FALSE(o.command.play);
    EXPECT_EQ(o.command.exitCode, 0);
    EXPECT_EQ(o.out, std::string("cardbattle ") + CARDBATTLE_VERSION + "\n");
    EXPECT_EQ(o.err, "");
}

TEST(CommandLine, HelpSaysWhatTheGameIsAndWhereItsFilesAre) {
    setAssetSearchPlaces({"./asset", "/opt/games/bin/asset", "/opt/games/share/cardbattle/asset"});
    Outcome o = run({"--help"});
    useDefaultAssetSearchPlaces();
    EXPECT_FALSE(o.command.play);
    EXPECT_EQ(o.command.exitCode, 0);
    EXPECT_EQ(o.err, "");
    for (const char* part : {"Usage: cardbattle", "card battle game", "takes no other options", "--help", "--version",
                             "--language=en|zh", "English or in Chinese", "--opponent=standard|strong", "setting.ini",
                             "the folder the\n               game is started in"})
        EXPECT_NE(o.out.find(part), std::string::npos) << part << " in\n" << o.out;
    size_t first = o.out.find("\n                 ./asset\n"), second = o.out.find("/opt/games/bin/asset\n"),
           third = o.out.find("/opt/games/share/cardbattle/asset\n");
    EXPECT_TRUE(first != std::string::npos && first < second && second < third && third != std::string::npos)
        << "the picture folders in the order they are searched:\n" << o.out;
    for (size_t start = 0, end; (end = o.out.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, 80u) << "a line wider than a terminal: " << o.out.substr(start, end - start);
}

TEST(CommandLine, TheFirstAnsweringOptionEndsTheReading) {
    Outcome o = run({"--version", "--bogus"});
    EXPECT_EQ(o.command.exitCode, 0);
    EXPECT_EQ(o.out, std::string("cardbattle ") + CARDBATTLE_VERSION + "\n");
    EXPECT_EQ(o.err, "");
}

TEST(CommandLine, AnAnswerThatCannotBeWrittenIsAFailure) {
    std::ostringstream err;
    std::ostream closed(nullptr); // no buffer: every write fails, as on a full disk or a closed pipe
    CommandLine command = readCommandLine({"--version"}, closed, err);
    EXPECT_FALSE(command.play);
    EXPECT_EQ(command.exitCode, 1);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos) << err.str();
}

} // namespace
