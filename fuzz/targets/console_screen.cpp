// The console toolkit printing arbitrary rich-text markup and bytes, with moves, colours, clears,
// titles and screen sizes, leaving the screen, and stopping and going on, through the terminal's
// screen model into the emulated terminal. The model writes only cells it believes changed, so
// every so often a probe writes a short text and checks that the terminal shows exactly it, in the
// colours asked for.
//
// Input: one byte of set-up (bit 0: the program is not in a terminal; bit 1: another program wrote
// the input's next bytes to the terminal first), then operations, each an operation byte and its
// arguments.
#include <algorithm>

#include "console/console.h"
#include "fuzz_target.h"
#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "platform/platform.h"
#include "platform/terminal.h"

namespace term = platform::terminal;

namespace {

std::string shortText(fuzzing::Input& in) { return in.bytes(in.pick(0, 48)); }

RawText markup(fuzzing::Input& in) {
    RawText t;
    t.text = shortText(in);
    for (int n = in.pick(0, 3); n > 0; --n) t.numBuf.push_back(in.int32());
    for (int n = in.pick(0, 2); n > 0; --n) t.strBuf.push_back(shortText(in));
    for (int n = in.pick(0, 2); n > 0; --n) t.dblBuf.push_back(in.real());
    return t;
}

// A coordinate or a screen size: mostly small, sometimes anything.
int number(fuzzing::Input& in) {
    uint8_t kind = in.byte();
    return kind < 224 ? kind : in.int32();
}

// Writes printable text where it fits on one line and checks what the terminal shows there.
void probe(fuzzing::Input& in, bool interactive) {
    term::Cell size = term::size();
    int row = in.byte() % size.row + 1;
    int col = in.byte() % size.col + 1;
    // Short of the last column: a character there moves the cursor on, and on the last row that
    // scrolls the screen.
    int length = std::min(in.pick(1, 8), size.col - col);
    if (length <= 0) return;
    std::string text;
    for (int i = 0; i < length; ++i) text += (char)('!' + in.byte() % 94);
    term::moveTo(row, col);
    term::write(text);
    term::flush();
    if (!interactive) return;
    std::string shown = term::headless::text(row, col, length);
    FUZZ_CHECK(shown == text, "wrote \"" + text + "\" at (" + std::to_string(row) + ", " + std::to_string(col) +
                                  "), the terminal shows \"" + shown + "\"");
    int attr = term::attribute();
    for (int c = col; c < col + length; ++c) {
        int fg = term::headless::foreground(row, c), bg = term::headless::background(row, c);
        FUZZ_CHECK(fg == (attr & 15) && bg == (attr >> 4 & 15),
                   "colour " + std::to_string(attr) + " written at (" + std::to_string(row) + ", " +
                       std::to_string(c) + "), shown as " + std::to_string(bg) + "/" + std::to_string(fg));
    }
}

// A form with a label and a button on it, captions from the input, placed where the input says.
// (Arguments are read into variables first: the order in which a call's arguments are evaluated
// is the compiler's choice, and an input must mean the same in every build.)
void widgets(fuzzing::Input& in) {
    int row = in.pick(1, 30), col = in.pick(1, 70), height = in.pick(0, 12), width = in.pick(0, 70);
    Form form(row, col, height, width, nullptr, in.byte() % 16);
    RawText caption = markup(in);
    row = in.pick(1, 12), col = in.pick(1, 70);
    Label label(caption, row, col, &form);
    caption = markup(in);
    row = in.pick(1, 12), col = in.pick(1, 70);
    int back = in.byte() % 16, pressed = in.byte() % 16;
    Button button(caption, row, col, &form, back, pressed);
    form.print();
    button.preserve();
}

// What a shell prompt leaves: text and line breaks. (Escape sequences from another program could
// set terminal modes, such as a scroll region, that the screen model does not undo.)
std::string promptText(const std::string& bytes) {
    std::string text;
    for (char c : bytes)
        if ((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') text += c;
    return text;
}

} // namespace

FUZZ_TARGET(console_screen) {
    fuzzing::Input in(data, size);
    platform::headless::enable();
    uint8_t setUp = in.byte();
    bool interactive = !(setUp & 1);
    term::headless::setInteractive(interactive);
    if (setUp & 2) term::headless::otherOutput(promptText(shortText(in)));
    while (!in.empty()) {
        switch (in.byte() % 14) {
        case 0: {
            std::string title = shortText(in);
            int cols = number(in), rows = number(in);
            setWindowSize(title, cols, rows);
            break;
        }
        case 1: {
            int row = number(in), col = number(in);
            gotoxy(row, col);
            break;
        }
        case 2: setColor(number(in)); break;
        case 3: {
            RawText text = markup(in);
            text.print(number(in) % 16);
            break;
        }
        case 4: tellraw(shortText(in)); break;
        case 5: clrscr(); break;
        case 6: term::write(shortText(in)); break;
        case 7: term::writeByte((char)in.byte()); break;
        case 8: {
            auto [row, col] = getxy();
            term::Cell size = term::size();
            FUZZ_CHECK(row >= 1 && row <= size.row && col >= 1 && col <= size.col,
                       "cursor at (" + std::to_string(row) + ", " + std::to_string(col) + ")");
            break;
        }
        case 9: (in.byte() & 1) ? showCursor() : hideCursor(); break;
        case 10: widgets(in); break;
        case 11: term::endScreen(); break;
        case 12:
            // Ctrl-Z, then fg: the terminal is given back and taken again, and the screen repainted.
            term::headless::stopProgram();
            term::headless::continueProgram(true);
            break;
        default: probe(in, interactive); break;
        }
    }
    probe(in, interactive);
    return 0;
}
