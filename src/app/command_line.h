// The program's command line. Without options the game plays; --language chooses the language of
// the game window's words and --opponent the opponent before it plays; --help and --version answer
// and end the program; anything else is refused with exit status 2, as Linux programs do.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "game/settings.h"

struct CommandLine {
    bool play = true;  // go on to the launcher and the game
    int exitCode = 0;  // the status to end with when not playing
    AskedChoices asked; // chosen with --language and --opponent (the last one given counts)
};

// Reads the arguments after the program's name, in order; an option that answers ends the reading.
// Answers go to `out`, complaints to `err`. An answer that cannot be written ends with status 1.
CommandLine readCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same, for main()'s arguments, on the standard streams.
CommandLine readCommandLine(int argc, char** argv);
