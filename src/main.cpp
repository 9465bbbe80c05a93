#include "game/lobby.h"

int main() { return runGame(); }
