// The terminal's input decoder: whatever a terminal (or something pretending to be one) sends —
// keys, mouse reports, cursor answers, split anywhere across reads — interleaved with the
// program's reads of keys, the pointer and typed characters, with time passing, and with the
// program stopped and going on.
//
// Input: one byte of set-up (bit 0: the emulated terminal does not answer cursor queries, so that
// answers come only from the input; bit 1: the program is not in a terminal), then operations,
// each an operation byte and its arguments.
#include "fuzz_target.h"
#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "platform/platform.h"
#include "platform/terminal.h"

namespace term = platform::terminal;

namespace {

// What a typed-character queue may hold at most, with one two-byte key on top.
constexpr int MOST_TYPED = 257;

void readTyped() {
    int count = 0;
    while (term::keyWaiting()) {
        int key = term::readKey();
        FUZZ_CHECK(key >= 0 && key <= 255, "readKey gave " + std::to_string(key));
        FUZZ_CHECK(++count <= MOST_TYPED, "the typed characters do not run out");
    }
}

void checkInside(term::Cell c, const char* what) {
    term::Cell size = term::size();
    FUZZ_CHECK(c.row >= 1 && c.row <= size.row && c.col >= 1 && c.col <= size.col,
               std::string(what) + " (" + std::to_string(c.row) + ", " + std::to_string(c.col) + ") outside " +
                   std::to_string(size.row) + " x " + std::to_string(size.col));
}

void playerHands(fuzzing::Input& in) {
    switch (in.byte() % 3) {
    case 0: {
        term::Cell size = term::headless::screenSize();
        int row = in.byte() % size.row + 1;
        int col = in.byte() % size.col + 1;
        term::headless::movePointer(row, col);
        break;
    }
    case 1: term::headless::setLeftButton(in.byte() & 1); break;
    default: term::headless::pressKey((term::headless::Key)(in.byte() % 13)); break;
    }
}

} // namespace

FUZZ_TARGET(terminal_input) {
    fuzzing::Input in(data, size);
    platform::headless::enable();
    uint8_t setUp = in.byte();
    term::headless::silenceQueries(setUp & 1);
    term::headless::setInteractive(!(setUp & 2));
    while (!in.empty()) {
        switch (in.byte() % 9) {
        case 0: term::headless::sendBytes(in.bytes(in.pick(1, 32))); break;
        case 1: readTyped(); break;
        case 2: {
            int vk = in.byte();
            bool down = platform::keyDown(vk);
            FUZZ_CHECK(term::inputActive() || !down, "key " + std::to_string(vk) + " down with no input");
            break;
        }
        case 3: {
            term::Cell p = term::pointer();
            FUZZ_CHECK(p.row >= 0 && p.col >= 0, "pointer at a negative cell");
            break;
        }
        case 4: platform::sleepMs(in.byte() * 2); break;
        case 5: checkInside(term::cursor(), "cursor"); break;
        case 6:
            if (term::inputActive()) term::endInput();
            else term::beginInput();
            break;
        case 7: playerHands(in); break;
        default:
            // Ctrl-Z, then going on in the foreground or the background.
            term::headless::stopProgram();
            term::headless::continueProgram(in.byte() & 1);
            break;
        }
    }
    readTyped();
    return 0;
}
