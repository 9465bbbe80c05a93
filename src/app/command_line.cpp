// The command line: a table of options, each with its help line and what it does.
#include "app/command_line.h"

#include <algorithm>
#include <iostream>

#include "platform/messages.h"
#include "platform/platform.h"
#include "render/assets.h"

namespace {

const char* const PROGRAM = "cardbattle";
constexpr int USAGE_ERROR = 2;   // the status Linux programs end with on a wrong command line
constexpr int WRITE_ERROR = 1;

void printVersion(std::ostream& out) { out << PROGRAM << " " << CARDBATTLE_VERSION << "\n"; }
void printHelp(std::ostream& out);

bool chooseLanguage(const std::string& code, CommandLine& command) {
    command.asked.language = languageOfCode(code);
    return command.asked.language.has_value();
}

bool chooseOpponent(const std::string& code, CommandLine& command) {
    command.asked.opponent = opponentOfCode(code);
    return command.asked.opponent.has_value();
}

// An option either answers and ends the program (`answer`), or takes a value that sets a choice
// for the game (`choose`, false for a value it does not know).
struct Option {
    const char* name;
    const char* values; // what may follow '=' ("en|zh"); null for an option without a value
    const char* help;
    void (*answer)(std::ostream& out);
    bool (*choose)(const std::string& value, CommandLine& command);
};

const Option OPTIONS[] = {
    {"--language", "en|zh", "the game's words in English or in Chinese; kept", nullptr, chooseLanguage},
    {"--opponent", "standard|strong", "the standard or the strong opponent; kept", nullptr, chooseOpponent},
    {"--help", nullptr, "show this help and exit", printHelp, nullptr},
    {"--version", nullptr, "show the version and exit", printVersion, nullptr},
};

const Option* findOption(const std::string& name) {
    for (const Option& option : OPTIONS)
        if (name == option.name) return &option;
    return nullptr;
}

// An option as the help shows it: with its values when it takes one.
std::string optionForm(const Option& option) {
    return option.values ? std::string(option.name) + "=" + option.values : option.name;
}

void printHelp(std::ostream& out) {
    out << "Usage: " << PROGRAM << " [--language=en|zh] [--opponent=standard|strong]\n"
        << "       " << PROGRAM << " --help | --version\n\n"
        << "A single-player card battle game: your hero and your hand of cards against a\n"
           "computer opponent. It first shows a small settings screen in the terminal or\n"
           "console (window size, debug mode, language and opponent), then plays in a\n"
           "window of its own with the mouse and the space key. The strong opponent\n"
           "searches ahead before each of its moves; it sees only what you could see\n"
           "in its place. It takes no other options.\n\n"
           "Options:\n";
    size_t column = 0;
    for (const Option& option : OPTIONS) column = std::max(column, optionForm(option).size() + 2);
    for (const Option& option : OPTIONS) {
        std::string form = optionForm(option);
        out << "  " << form << std::string(column - form.size(), ' ') << option.help << "\n";
    }
    out << "\nFiles:\n"
           "  setting.ini  the chosen window size and debug mode, kept in the folder the\n"
           "               game is started in; a third line en keeps English, a fourth\n"
           "               line strong the strong opponent\n"
           "  pictures     asset/ of that folder first, then asset/ beside the program, then\n"
           "               the installed data folder; here, in that order:\n";
    for (const std::string& place : assetSearchPlaces()) out << "                 " << place << "\n";
}

// An argument as it may be echoed.
std::string shown(const std::string& arg) { return platform::quotedForMessage(arg); }

CommandLine endWith(int status) {
    CommandLine command;
    command.play = false;
    command.exitCode = status;
    return command;
}

CommandLine refuse(std::ostream& err, const std::string& complaint) {
    err << PROGRAM << ": " << complaint << "\nTry '" << PROGRAM << " --help' for more information.\n";
    err.flush();
    return endWith(USAGE_ERROR);
}

// A choosing option with its value: the choice is made in `command`, or the complaint returned.
std::string choose(const Option& option, const std::string& arg, const std::string& name, CommandLine& command) {
    if (name == arg) return "option " + shown(name) + " needs a value: " + optionForm(option);
    std::string value = arg.substr(name.size() + 1);
    if (option.choose(value, command)) return "";
    return "option " + shown(name) + " takes " + option.values + ", not " + shown(value);
}

CommandLine answer(const Option& option, const std::string& name, std::ostream& out, std::ostream& err) {
    option.answer(out);
    out.flush();
    if (out) return endWith(0);
    err << PROGRAM << ": cannot write the answer to " << name << "\n";
    return endWith(WRITE_ERROR);
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CommandLine command;
    for (const std::string& arg : args) {
        if (arg.rfind("-", 0) != 0 || arg == "-") return refuse(err, "takes no arguments, only options: " + shown(arg));
        std::string name = arg.substr(0, arg.find('='));
        const Option* option = findOption(name);
        if (!option) return refuse(err, "unknown option " + shown(name));
        if (option->choose) {
            std::string complaint = choose(*option, arg, name, command);
            if (!complaint.empty()) return refuse(err, complaint);
            continue;
        }
        if (name != arg) return refuse(err, "option " + shown(name) + " takes no value");
        return answer(*option, name, out, err);
    }
    return command;
}

CommandLine readCommandLine(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    return readCommandLine(args, std::cout, std::cerr);
}
