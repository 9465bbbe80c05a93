#include "app/command_line.h"
#include "app/lobby.h"

int main(int argc, char** argv) {
    CommandLine command = readCommandLine(argc, argv);
    if (!command.play) return command.exitCode;
    return runGame(command.asked);
}
