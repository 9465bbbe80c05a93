// The command line: a table of options, each with its help line and what it does.
#include "game/command_line.h"

#include <iostream>

#include "render/assets.h"

namespace {

const char* const PROGRAM = "cardbattle";
constexpr int USAGE_ERROR = 2;   // the status Linux programs end with on a wrong command line
constexpr int WRITE_ERROR = 1;

void printVersion(std::ostream& out) { out << PROGRAM << " " << CARDBATTLE_VERSION << "\n"; }
void printHelp(std::ostream& out);

struct Option {
    const char* name;
    const char* help;
    void (*answer)(std::ostream& out);
};

const Option OPTIONS[] = {
    {"--help", "show this help and exit", printHelp},
    {"--version", "show the version and exit", printVersion},
};

const Option* findOption(const std::string& name) {
    for (const Option& option : OPTIONS)
        if (name == option.name) return &option;
    return nullptr;
}

void printHelp(std::ostream& out) {
    out << "Usage: " << PROGRAM << " [--help | --version]\n\n"
        << "A single-player card battle game: your hero and your hand of cards against a\n"
           "computer opponent. It first shows a small settings screen in the terminal or\n"
           "console (window size and debug mode), then plays in a window of its own with\n"
           "the mouse and the space key. It takes no other options.\n\n"
           "Options:\n";
    for (const Option& option : OPTIONS) {
        std::string name = option.name;
        out << "  " << name << std::string(name.size() < 12 ? 12 - name.size() : 1, ' ') << option.help << "\n";
    }
    out << "\nFiles:\n"
           "  setting.ini  the chosen window size and debug mode, kept in the folder the\n"
           "               game is started in\n"
           "  pictures     asset/ of that folder first, then asset/ beside the program, then\n"
           "               the installed data folder; here, in that order:\n";
    for (const std::string& place : assetSearchPlaces()) out << "                 " << place << "\n";
}

// An argument as it may be echoed: control bytes shown as '?', so that none reaches the terminal.
std::string shown(const std::string& arg) {
    std::string safe = arg;
    for (char& c : safe)
        if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
    return "'" + safe + "'";
}

CommandLine refuse(std::ostream& err, const std::string& complaint) {
    err << PROGRAM << ": " << complaint << "\nTry '" << PROGRAM << " --help' for more information.\n";
    err.flush();
    return {false, USAGE_ERROR};
}

} // namespace

CommandLine readCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const std::string& arg : args) {
        if (arg.rfind("-", 0) != 0 || arg == "-") return refuse(err, "takes no arguments, only options: " + shown(arg));
        std::string name = arg.substr(0, arg.find('='));
        const Option* option = findOption(name);
        if (!option) return refuse(err, "unknown option " + shown(name));
        if (name != arg) return refuse(err, "option " + shown(name) + " takes no value");
        option->answer(out);
        out.flush();
        if (out) return {false, 0};
        err << PROGRAM << ": cannot write the answer to " << name << "\n";
        return {false, WRITE_ERROR};
    }
    return {};
}

CommandLine readCommandLine(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    return readCommandLine(args, std::cout, std::cerr);
}
