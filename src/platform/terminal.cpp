// The terminal half of the seam: a screen model that writes only what changed, and the decoder
// that turns what the terminal sends (keys, mouse reports, cursor answers) into input state.
// The bytes go to a real terminal or to the emulated one the tests read back.
#include "platform/terminal.h"

#include <csignal>
#include <cstdint>
#include <deque>
#include <map>
#include <thread> // also brings the clocks: <chrono> itself cannot be compiled for GBK text
#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/terminal_backend.h"
#include "platform/ways_out.h"

namespace platform::terminal {
namespace {

// What the program has changed on the terminal, read by the give-back and the take-back, from
// signal handlers too. The main line sets a flag before it sends a change and clears it after it
// has sent the undoing, so that a signal in between undoes too much rather than too little.
struct Modes {
    volatile sig_atomic_t touched;     // anything sent at all (colours, cursor, title)
    volatile sig_atomic_t raw;         // the program holds the input
    volatile sig_atomic_t mouse;       // mouse reporting
    volatile sig_atomic_t alternate;   // drawing on the alternate screen
    volatile sig_atomic_t titlePushed; // the player's title kept on the terminal's title stack
    volatile sig_atomic_t suspended;   // given back for a stop: output waits for the take-back
    volatile sig_atomic_t repaint;     // taken back: the next poll draws everything again
};
Modes modes;

void resetModes() {
    for (volatile sig_atomic_t* flag : {&modes.touched, &modes.raw, &modes.mouse, &modes.alternate,
                                        &modes.titlePushed, &modes.suspended, &modes.repaint})
        *flag = 0;
}

// Bytes prepared in advance, for the handlers.
constexpr char CANCEL[] = "\x18"; // ends any escape sequence cut short
constexpr char PLAIN[] = "\x1b[0m";
constexpr char MOUSE_ON[] = "\x1b[?1003h\x1b[?1006h"; // every motion, the cell in decimal
constexpr char MOUSE_OFF[] = "\x1b[?1006l\x1b[?1003l";
constexpr char ENTER_ALTERNATE[] = "\x1b[?1049h";
constexpr char LEAVE_ALTERNATE[] = "\x1b[0m\x1b[?1049l\x1b[0m"; // the colours of neither screen linger
constexpr char CURSOR_SHOWN[] = "\x1b[?25h";
constexpr char CURSOR_HIDDEN[] = "\x1b[?25l";
constexpr char TITLE_PUSH[] = "\x1b[22;0t";
constexpr char TITLE_POP[] = "\x1b[23;0t";

template <size_t N> void put(const detail::Pipe& pipe, const char (&bytes)[N]) { pipe.write(bytes, N - 1); }

constexpr int ESC_WAIT_MS = 50;    // a lone ESC this old is the Escape key, not a sequence
constexpr size_t TYPED_MAX = 256;  // typed characters nobody reads are not kept for ever
constexpr size_t PENDING_MAX = 64; // no sequence we understand is longer
constexpr int MAX_ROWS = 300;
constexpr int MAX_COLS = 500;
// A loop that only polls the terminal, with nothing arriving and nothing to draw, waits this long
// for input at each further poll: input still wakes it at once.
constexpr int IDLE_POLLS = 256;
constexpr int IDLE_WAIT_MS = 4;

// Virtual-key codes of the keys a terminal can report beyond those in platform.h.
enum : int {
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_F1 = 0x70,
};

struct ScreenCell {
    uint16_t code = 0; // GBK: one byte, or lead * 256 + trail
    uint8_t attr = 0;
    bool known = false; // the terminal shows exactly this
    bool wide = false;  // first half of a double-width character
    bool tail = false;  // second half of one
};

struct Output {
    int rows = 0;
    int cols = 0;
    std::vector<ScreenCell> cells;
    int row = 1;
    int col = 1;
    bool placed = false; // the program has put the cursor somewhere since the start
    int attr = 7;
    int lead = -1; // a GBK lead byte waiting for its trail byte
    // What the terminal itself is known to have (0 or -1: not known).
    int termRow = 0;
    int termCol = 0;
    int termAttr = -1;
    int termCursorVisible = -1;
    int cursorShown = -1; // what the program asked for (-1: nothing, the terminal shows it)
    std::string title;    // as sent (UTF-8), to set again after a stop
    std::string out;
    std::map<uint16_t, std::string> utf8Cache;
};

struct Input {
    bool active = false;
    std::string pending;
    long long pendingSince = 0;
    Cell pointer;
    bool leftDown = false;
    bool leftLatched = false; // a press not yet seen by a read of the button
    long long latchUntil = 0; // set at release: an unseen quick click is forgotten after this
    long long keyUntil[256] = {};
    std::deque<unsigned char> typed;
    int idlePolls = 0;
    bool awaitingCursor = false;
    bool cursorAnswered = false;
    Cell answer;
};

struct State {
    Output o;
    Input in;
};

State& st();

void resetAll() {
    st() = State{};
    resetModes();
    detail::twinReset();
}

State& st() {
    static State s;
    static bool registered = false;
    if (!registered) {
        registered = true;
        platform::detail::addHeadlessReset(resetAll);
    }
    return s;
}

bool headlessOn() { return platform::headless::active(); }

long long now() { return platform::nowMs(); }

// ---- output --------------------------------------------------------------------------------

int ansiOf(int console) {
    // Console bits are blue 1, green 2, red 4; ANSI's are red 1, green 2, blue 4.
    return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2);
}

std::string sgr(int attr) {
    int fg = attr & 15, bg = (attr >> 4) & 15;
    int fgCode = (fg & 8 ? 90 : 30) + ansiOf(fg & 7);
    int bgCode = (bg & 8 ? 100 : 40) + ansiOf(bg & 7);
    return "\x1b[0;" + std::to_string(fgCode) + ";" + std::to_string(bgCode) + "m";
}

void deviceSize(int& rows, int& cols);

void ensureScreen() {
    Output& o = st().o;
    if (!o.cells.empty()) return;
    int rows = 24, cols = 80;
    deviceSize(rows, cols);
    o.rows = rows < 1 ? 1 : rows > MAX_ROWS ? MAX_ROWS : rows;
    o.cols = cols < 1 ? 1 : cols > MAX_COLS ? MAX_COLS : cols;
    o.cells.assign((size_t)o.rows * o.cols, ScreenCell{});
}

ScreenCell& at(int row, int col) {
    Output& o = st().o;
    return o.cells[(size_t)(row - 1) * o.cols + (col - 1)];
}

void placeTerm(int row, int col) {
    Output& o = st().o;
    if (o.termRow == row && o.termCol == col) return;
    o.out += "\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H";
    o.termRow = row;
    o.termCol = col;
}

void attrTerm(int attr) {
    Output& o = st().o;
    if (o.termAttr == attr) return;
    o.out += sgr(attr);
    o.termAttr = attr;
}

const std::string& utf8Of(uint16_t code) {
    Output& o = st().o;
    auto it = o.utf8Cache.find(code);
    if (it != o.utf8Cache.end()) return it->second;
    std::string text;
    if (code < 0x80) text = std::string(1, (char)code);
    else text = gbkToUtf8(std::string{(char)(code >> 8), (char)(code & 0xFF)});
    return o.utf8Cache[code] = text;
}

// Sends the model's cell to the terminal.
void sendCell(int row, int col) {
    Output& o = st().o;
    const ScreenCell& cell = at(row, col);
    placeTerm(row, col);
    attrTerm(cell.attr);
    o.out += utf8Of(cell.code);
    if (cell.wide) {
        // Terminals disagree on the width of some characters: place the next one afresh.
        o.termRow = o.termCol = 0;
    } else {
        o.termCol = col + 1 <= o.cols ? col + 1 : 0;
    }
}

// After a stop the terminal shows whatever the shell left: everything the program has drawn is
// sent again, on a cleared screen, with the title and the cursor as the program left them.
void repaint() {
    Output& o = st().o;
    o.termRow = o.termCol = 0;
    o.termAttr = -1;
    o.termCursorVisible = -1;
    if (!o.title.empty()) o.out += "\x1b]0;" + o.title + "\x07";
    if (modes.alternate && !o.cells.empty()) {
        o.out += PLAIN;
        o.out += "\x1b[2J";
        for (int row = 1; row <= o.rows; ++row)
            for (int col = 1; col <= o.cols; ++col)
                if (at(row, col).known && !at(row, col).tail) sendCell(row, col);
    }
    if (o.cursorShown >= 0) {
        o.out += o.cursorShown ? CURSOR_SHOWN : CURSOR_HIDDEN;
        o.termCursorVisible = o.cursorShown;
    }
}

// A shown cursor stands where the program put it, even when nothing was written there.
void followCursor() {
    Output& o = st().o;
    if (!o.placed || o.cursorShown == 0 || o.cells.empty()) return;
    placeTerm(o.row, o.col);
}

// Before the program changes anything on the terminal: every way out will give it back.
void holdTerminal() {
    if (!headlessOn()) {
        static bool registered = false;
        if (!registered) {
            registered = true;
            platform::detail::onExit({[](bool ending) { detail::giveBack(detail::TTY_PIPE, ending); },
                                      [] { detail::takeBack(detail::TTY_PIPE); }});
        }
    }
    modes.touched = 1;
}

// The drawing goes on the alternate screen, so that the shell's screen comes back as it was.
void enterAlternate() {
    if (modes.alternate) return;
    modes.alternate = 1;
    st().o.out.insert(0, ENTER_ALTERNATE);
}

void lineFeed() {
    Output& o = st().o;
    if (++o.row <= o.rows) return;
    // Past the last line the screen scrolls up by one.
    o.row = o.rows;
    o.cells.erase(o.cells.begin(), o.cells.begin() + o.cols);
    o.cells.resize((size_t)o.rows * o.cols, ScreenCell{});
    o.out += "\x1b[S";
}

void putCell(uint16_t code, bool wide) {
    ensureScreen();
    Output& o = st().o;
    if (wide && o.cols < 2) {
        // No room for a double-width character on a screen one column wide (some terminals crash
        // on one): it shows as '?'.
        code = '?';
        wide = false;
    }
    int width = wide ? 2 : 1;
    if (o.col + width - 1 > o.cols) {
        // A double-width character that does not fit the last column starts the next line.
        o.col = 1;
        lineFeed();
    }
    ScreenCell& first = at(o.row, o.col);
    bool same = first.known && first.code == code && first.attr == o.attr && first.wide == (width == 2) && !first.tail;
    // A cell that held half of a double-width character never matches a new character, so
    // whatever the terminal did to the other half is rewritten when it is drawn.
    if (same && width == 2) {
        const ScreenCell& second = at(o.row, o.col + 1);
        same = second.known && second.tail && second.attr == o.attr;
    }
    if (!same) {
        at(o.row, o.col) = ScreenCell{code, (uint8_t)o.attr, true, width == 2, false};
        if (width == 2) at(o.row, o.col + 1) = ScreenCell{0, (uint8_t)o.attr, true, false, true};
        sendCell(o.row, o.col);
    }
    o.col += width;
    if (o.col > o.cols) {
        o.col = 1;
        lineFeed();
    }
}

// The bytes of a GBK double-byte character.
bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// A lead byte whose trail never came shows as '?'.
void settle() {
    Output& o = st().o;
    if (o.lead < 0) return;
    o.lead = -1;
    putCell('?', false);
}

void send(const std::string& bytes) {
    if (headlessOn()) detail::twinWrite(bytes);
    else detail::ttyWrite(bytes);
}

void deviceSize(int& rows, int& cols) {
    rows = 24;
    cols = 80;
    if (headlessOn()) return; // the emulated terminal starts at 80 x 24
    detail::ttySize(rows, cols);
}

// ---- input ---------------------------------------------------------------------------------

void keyPressed(int vk) { st().in.keyUntil[vk & 0xFF] = now() + KEY_HOLD_MS; }

void typedByte(unsigned char b) {
    Input& in = st().in;
    if (in.typed.size() < TYPED_MAX) in.typed.push_back(b);
}

void typedPair(unsigned char first, unsigned char second) {
    Input& in = st().in;
    if (in.typed.size() + 1 >= TYPED_MAX) return;
    in.typed.push_back(first);
    in.typed.push_back(second);
}

struct SpecialKey {
    int vk;
    unsigned char prefix; // 0xE0 or 0, as a console reports extended keys
    unsigned char code;
};

constexpr SpecialKey KEY_UP{platform::VK_UP, 0xE0, 'H'};
constexpr SpecialKey KEY_DOWN{platform::VK_DOWN, 0xE0, 'P'};
constexpr SpecialKey KEY_LEFT{platform::VK_LEFT, 0xE0, 'K'};
constexpr SpecialKey KEY_RIGHT{platform::VK_RIGHT, 0xE0, 'M'};
constexpr SpecialKey KEY_HOME{VK_HOME, 0xE0, 'G'};
constexpr SpecialKey KEY_END{VK_END, 0xE0, 'O'};
constexpr SpecialKey KEY_PRIOR{VK_PRIOR, 0xE0, 'I'};
constexpr SpecialKey KEY_NEXT{VK_NEXT, 0xE0, 'Q'};
constexpr SpecialKey KEY_INSERT{VK_INSERT, 0xE0, 'R'};
constexpr SpecialKey KEY_DELETE{VK_DELETE, 0xE0, 'S'};

SpecialKey functionKey(int n) {
    if (n <= 10) return {VK_F1 + n - 1, 0, (unsigned char)(0x3A + n)};
    return {VK_F1 + n - 1, 0xE0, (unsigned char)(0x85 + n - 11)};
}

void special(const SpecialKey& k) {
    keyPressed(k.vk);
    typedPair(k.prefix, k.code);
}

void asciiKey(unsigned char b) {
    switch (b) {
    case '\r':
    case '\n':
        keyPressed(platform::VK_RETURN);
        typedByte(13);
        return;
    case 0x7F:
    case 0x08:
        keyPressed(platform::VK_BACK);
        typedByte(8);
        return;
    case '\t':
        keyPressed(platform::VK_TAB);
        typedByte(9);
        return;
    case 0:
        return;
    default:
        break;
    }
    if (b >= 'a' && b <= 'z') keyPressed(b - 'a' + 'A');
    else if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == ' ') keyPressed(b);
    else if (b >= 1 && b <= 26) keyPressed('A' + b - 1); // Ctrl and a letter
    typedByte(b);
}

void escapeKey() {
    keyPressed(platform::VK_ESCAPE);
    typedByte(27);
}

void mouseReport(int button, int col, int row, bool pressed) {
    Input& in = st().in;
    if (row < 1) row = 1;
    if (col < 1) col = 1;
    if (row != in.pointer.row || col != in.pointer.col) in.leftLatched = false;
    in.pointer = {row, col};
    if (button & 64) return; // wheel
    bool motion = (button & 32) != 0;
    int which = button & 3;
    if (motion) {
        in.leftDown = which == 0;
        return;
    }
    if (which != 0) {
        if (which == 3) in.leftDown = false; // a release that does not say which button
        return;
    }
    if (pressed) {
        in.leftDown = true;
        in.leftLatched = true;
    } else {
        in.leftDown = false;
        in.latchUntil = now() + CLICK_KEEP_MS;
    }
}

std::vector<int> csiParams(const std::string& text) {
    std::vector<int> params;
    int value = -1;
    for (char ch : text) {
        if (ch >= '0' && ch <= '9') {
            if (value < 0) value = 0;
            if (value < 100000) value = value * 10 + (ch - '0');
        } else if (ch == ';' || ch == ':') {
            params.push_back(value);
            value = -1;
        }
    }
    params.push_back(value);
    return params;
}

void tildeKey(int n) {
    switch (n) {
    case 1:
    case 7: return special(KEY_HOME);
    case 2: return special(KEY_INSERT);
    case 3: return special(KEY_DELETE);
    case 4:
    case 8: return special(KEY_END);
    case 5: return special(KEY_PRIOR);
    case 6: return special(KEY_NEXT);
    default: break;
    }
    static const int FUNCTION_CODES[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
    for (int i = 0; i < 12; ++i)
        if (FUNCTION_CODES[i] == n) return special(functionKey(i + 1));
}

bool letterKey(char final) {
    switch (final) {
    case 'A': special(KEY_UP); return true;
    case 'B': special(KEY_DOWN); return true;
    case 'C': special(KEY_RIGHT); return true;
    case 'D': special(KEY_LEFT); return true;
    case 'H': special(KEY_HOME); return true;
    case 'F': special(KEY_END); return true;
    case 'P': special(functionKey(1)); return true;
    case 'Q': special(functionKey(2)); return true;
    case 'R': special(functionKey(3)); return true;
    case 'S': special(functionKey(4)); return true;
    default: return false;
    }
}

void csi(const std::string& body, char final) {
    Input& in = st().in;
    char prefix = !body.empty() && body[0] >= 0x3C && body[0] <= 0x3F ? body[0] : 0;
    std::vector<int> p = csiParams(prefix ? body.substr(1) : body);
    if (prefix == '<' && (final == 'M' || final == 'm')) {
        if (p.size() == 3 && p[0] >= 0 && p[1] > 0 && p[2] > 0) mouseReport(p[0], p[1], p[2], final == 'M');
        return;
    }
    if (prefix) return;
    if (final == 'R' && in.awaitingCursor && p.size() == 2 && p[0] > 0 && p[1] > 0) {
        in.answer = {p[0], p[1]};
        in.cursorAnswered = true;
        return;
    }
    if (final == '~') return tildeKey(p[0]);
    if (final == 'Z') {
        keyPressed(platform::VK_TAB);
        return;
    }
    letterKey(final);
}

// Decodes one unit at s[i]; returns the bytes used, or 0 when the unit is not complete yet.
size_t decodeOne(const std::string& s, size_t i) {
    size_t n = s.size();
    unsigned char b = (unsigned char)s[i];
    if (b == 0x1B) {
        if (i + 1 >= n) return 0;
        char next = s[i + 1];
        if (next == 'O') {
            if (i + 2 >= n) return 0;
            char key = s[i + 2];
            if (key == 'M') asciiKey('\r'); // keypad Enter
            else letterKey(key);
            return 3;
        }
        if (next != '[') {
            escapeKey(); // the rest is decoded on its own
            return 1;
        }
        if (i + 2 < n && s[i + 2] == 'M') {
            // Legacy mouse report: three bytes, each value + 32.
            if (i + 5 >= n) return 0;
            mouseReport((unsigned char)s[i + 3] - 32, (unsigned char)s[i + 4] - 32, (unsigned char)s[i + 5] - 32,
                        ((unsigned char)s[i + 3] & 3) != 3);
            return 6;
        }
        size_t j = i + 2;
        while (j < n) {
            unsigned char c = (unsigned char)s[j];
            if (c >= 0x40 && c <= 0x7E) {
                csi(s.substr(i + 2, j - i - 2), (char)c);
                return j + 1 - i;
            }
            if (c < 0x20 || c > 0x3F) return j - i; // malformed: drop what came so far
            ++j;
        }
        return j - i > PENDING_MAX ? j - i : 0;
    }
    if (b < 0x80) {
        asciiKey(b);
        return 1;
    }
    if (b < 0xC2 || b > 0xF4) return 1; // not a UTF-8 lead byte: dropped
    size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    if (i + len > n) {
        for (size_t k = i + 1; k < n; ++k)
            if (((unsigned char)s[k] & 0xC0) != 0x80) return 1;
        return 0;
    }
    for (size_t k = 1; k < len; ++k)
        if (((unsigned char)s[i + k] & 0xC0) != 0x80) return 1;
    for (char g : utf8ToGbk(s.substr(i, len))) typedByte((unsigned char)g);
    return len;
}

void decode(const std::string& bytes) {
    Input& in = st().in;
    if (in.pending.empty() && !bytes.empty()) in.pendingSince = now();
    in.pending += bytes;
    for (;;) {
        size_t i = 0;
        while (i < in.pending.size()) {
            size_t used = decodeOne(in.pending, i);
            if (used == 0) break;
            i += used;
        }
        if (i > 0) {
            in.pending.erase(0, i);
            in.pendingSince = now();
        }
        if (in.pending.empty() || now() - in.pendingSince < ESC_WAIT_MS) break;
        // A sequence that never completed: a lone ESC was the Escape key; other leftovers are noise.
        if (in.pending[0] == 0x1B) escapeKey();
        in.pending.erase(0, 1);
    }
    if (in.pending.size() > PENDING_MAX) in.pending.clear();
    if (!in.leftDown && in.leftLatched && now() > in.latchUntil) in.leftLatched = false;
}

std::string takeInput() {
    if (headlessOn()) return detail::twinTakeInput();
    std::string bytes;
    char buffer[256];
    for (;;) {
        int got = detail::ttyRead(buffer, sizeof buffer);
        if (got <= 0) break;
        bytes.append(buffer, (size_t)got);
        if (got < (int)sizeof buffer) break;
    }
    return bytes;
}

void pump() {
    Input& in = st().in;
    bool drew = !st().o.out.empty();
    flush();
    if (drew) in.idlePolls = 0;
    if (++in.idlePolls > IDLE_POLLS && !headlessOn() && in.active) detail::ttyWaitInput(IDLE_WAIT_MS);
    std::string bytes = takeInput();
    if (!bytes.empty()) in.idlePolls = 0;
    decode(bytes);
}

// One input poll as the rest of the seam counts them: the test's script runs first on the
// headless backend; a real loop that only polls is slowed down instead.
void poll() {
    beginInput();
    if (headlessOn()) platform::detail::headlessPoll();
    else platform::detail::throttlePoll();
    pump();
}

bool keySource(int vk) {
    Input& in = st().in;
    pump();
    if (vk == platform::VK_LBUTTON) {
        bool down = in.leftDown || in.leftLatched;
        in.leftLatched = false;
        return down;
    }
    if (vk < 0 || vk > 0xFF) return false;
    return in.keyUntil[vk] > now();
}

} // namespace

bool interactive() { return headlessOn() ? detail::twinInteractive() : detail::ttyInteractive(); }

// ---- output --------------------------------------------------------------------------------

void setAttribute(int attribute) {
    settle();
    st().o.attr = attribute & 0xFF;
}

int attribute() { return st().o.attr; }

void moveTo(int row, int col) {
    settle();
    ensureScreen();
    Output& o = st().o;
    o.row = row < 1 ? 1 : row > o.rows ? o.rows : row;
    o.col = col < 1 ? 1 : col > o.cols ? o.cols : col;
    o.placed = true;
}

Cell cursor() {
    ensureScreen();
    Output& o = st().o;
    if (!o.placed) {
        // Where the terminal left the cursor before the program placed it: ask, but never wait long.
        // Until the answer is in, nothing moves the terminal's cursor.
        o.row = o.col = 1;
        beginInput();
        Input& in = st().in;
        if (in.active && !modes.suspended) {
            flush();
            in.awaitingCursor = true;
            in.cursorAnswered = false;
            send("\x1b[6n");
            long long waited = 0;
            pump();
            while (!in.cursorAnswered && !headlessOn() && waited < QUERY_TIMEOUT_MS) {
                if (detail::ttyWaitInput(10)) pump();
                waited += 10;
            }
            in.awaitingCursor = false;
            if (in.cursorAnswered) {
                o.row = in.answer.row > o.rows ? o.rows : in.answer.row;
                o.col = in.answer.col > o.cols ? o.cols : in.answer.col;
                o.termRow = in.answer.row;
                o.termCol = in.answer.col;
            } else {
                o.termRow = o.termCol = 0;
            }
        }
        o.placed = true;
    }
    return {o.row, o.col};
}

void writeByte(char byte) {
    Output& o = st().o;
    unsigned char b = (unsigned char)byte;
    if (o.lead >= 0) {
        int lead = o.lead;
        o.lead = -1;
        if (isTrail(b)) return putCell((uint16_t)(lead << 8 | b), true);
        putCell('?', false);
    }
    if (isLead(b)) {
        o.lead = b;
        return;
    }
    if (b >= 0x80) return putCell('?', false);
    ensureScreen();
    switch (b) {
    case '\n':
        o.col = 1;
        lineFeed();
        return;
    case '\r':
        o.col = 1;
        return;
    case '\b':
        if (o.col > 1) --o.col;
        return;
    case '\t':
        do putCell(' ', false);
        while ((o.col - 1) % 8 != 0);
        return;
    default:
        break;
    }
    if (b < 0x20 || b == 0x7F) return;
    putCell(b, false);
}

void write(const std::string& gbk) {
    for (char b : gbk) writeByte(b);
}

void clear() {
    settle();
    ensureScreen();
    Output& o = st().o;
    for (ScreenCell& c : o.cells) c = ScreenCell{' ', (uint8_t)o.attr, true, false, false};
    o.termAttr = -1;
    attrTerm(o.attr);
    o.out += "\x1b[2J\x1b[H";
    o.termRow = o.termCol = 1;
    o.row = o.col = 1;
    o.placed = true;
    flush();
}

void setTitle(const std::string& gbk) {
    Output& o = st().o;
    std::string title;
    for (size_t i = 0; i < gbk.size(); ++i) {
        unsigned char b = (unsigned char)gbk[i];
        if (isLead(b)) {
            // A lead byte without its trail byte shows as '?', as on the screen, and the next
            // byte keeps its own meaning: a control byte must not pass as half of a character.
            bool paired = i + 1 < gbk.size() && isTrail((unsigned char)gbk[i + 1]);
            title += paired ? gbk.substr(i++, 2) : "?";
        } else if (b >= 0x20 && b < 0x7F) {
            title += (char)b; // control bytes would end the title early or start a sequence
        }
    }
    std::string utf8 = gbkToUtf8(title);
    std::string clean;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char b = (unsigned char)utf8[i];
        // U+0080..U+009F are C1 controls: some terminals act on them.
        if (b == 0xC2 && i + 1 < utf8.size() && (unsigned char)utf8[i + 1] < 0xA0) {
            ++i;
            continue;
        }
        clean += (char)b;
    }
    if (!modes.titlePushed) {
        // Keep the player's title, to give it back at the end.
        modes.titlePushed = 1;
        o.out += TITLE_PUSH;
    }
    o.title = clean;
    o.out += "\x1b]0;" + clean + "\x07";
    flush();
}

void setSize(int cols, int rows) {
    settle();
    ensureScreen();
    Output& o = st().o;
    cols = cols < 1 ? 1 : cols > MAX_COLS ? MAX_COLS : cols;
    rows = rows < 1 ? 1 : rows > MAX_ROWS ? MAX_ROWS : rows;
    o.out += "\x1b[8;" + std::to_string(rows) + ";" + std::to_string(cols) + "t";
    // The terminal may keep or move what it showed: nothing on it is known any more.
    o.rows = rows;
    o.cols = cols;
    o.cells.assign((size_t)rows * cols, ScreenCell{});
    if (o.row > rows) o.row = rows;
    if (o.col > cols) o.col = cols;
    o.termRow = o.termCol = 0;
    flush();
}

Cell size() {
    ensureScreen();
    return {st().o.rows, st().o.cols};
}

void setCursorVisible(bool visible) {
    Output& o = st().o;
    o.cursorShown = visible;
    if (o.termCursorVisible != (int)visible) {
        o.out += visible ? CURSOR_SHOWN : CURSOR_HIDDEN;
        o.termCursorVisible = visible;
    }
    flush();
}

void flush() {
    Output& o = st().o;
    if (modes.repaint && !modes.suspended) {
        modes.repaint = 0;
        repaint();
    }
    followCursor();
    if (o.out.empty()) return;
    // Escape sequences have no business in a file or a pipe; and while the terminal is given back
    // for a stop, what would be drawn is drawn by the repaint after the take-back.
    if (!interactive() || modes.suspended) {
        o.out.clear();
        return;
    }
    holdTerminal();
    enterAlternate();
    std::string bytes;
    bytes.swap(o.out);
    send(bytes);
}

void endScreen() {
    settle();
    flush();
    if (!modes.alternate) return;
    Output& o = st().o;
    // The shell's screen is back, its cursor where the shell left it: nothing on it is known.
    o.cells.assign((size_t)o.rows * o.cols, ScreenCell{});
    o.row = o.col = 1;
    o.placed = false;
    o.out += LEAVE_ALTERNATE;
    // Some terminals restore the cursor's visibility with its place: keep the program's.
    if (o.cursorShown >= 0) o.out += o.cursorShown ? CURSOR_SHOWN : CURSOR_HIDDEN;
    flush();
    modes.alternate = 0;
    o.termRow = o.termCol = 0;
    o.termAttr = -1;
}

// ---- input ---------------------------------------------------------------------------------

void beginInput() {
    Input& in = st().in;
    if (in.active || !interactive()) return;
    holdTerminal();
    modes.raw = 1;
    if (headlessOn()) {
        detail::twinSetInputActive(true);
    } else if (!detail::ttyBeginInput()) {
        modes.raw = 0;
        return;
    }
    in.active = true;
    modes.mouse = 1;
    st().o.out += MOUSE_ON;
    flush();
    platform::detail::setTerminalKeySource(keySource);
}

void endInput() {
    Input& in = st().in;
    if (!in.active) return;
    pump();
    st().o.out += MOUSE_OFF;
    flush();
    modes.mouse = 0;
    if (headlessOn()) detail::twinSetInputActive(false);
    else detail::ttyEndInput();
    modes.raw = 0;
    platform::detail::setTerminalKeySource(nullptr);
    Input fresh;
    fresh.pointer = in.pointer;
    in = fresh;
}

bool inputActive() { return st().in.active; }

Cell pointer() {
    poll();
    return st().in.pointer;
}

bool keyWaiting() {
    poll();
    return !st().in.typed.empty();
}

int readKey() {
    Input& in = st().in;
    while (in.typed.empty()) {
        if (!in.active && !interactive()) return -1; // nothing will ever come
        poll();
    }
    int key = in.typed.front();
    in.typed.pop_front();
    return key;
}

} // namespace platform::terminal

namespace platform::terminal::detail {

void giveBack(const Pipe& pipe, bool ending) {
    if (!modes.touched || !pipe.foreground()) return;
    if (!modes.suspended) {
        put(pipe, CANCEL);
        if (modes.mouse) put(pipe, MOUSE_OFF);
        put(pipe, PLAIN);
        if (modes.alternate) put(pipe, LEAVE_ALTERNATE);
        put(pipe, CURSOR_SHOWN);
        if (modes.titlePushed) put(pipe, TITLE_POP);
        if (modes.raw) pipe.setRaw(false);
    }
    // Keys typed for the program must not reach the shell.
    pipe.discardInput();
    if (!ending) modes.suspended = 1;
}

void takeBack(const Pipe& pipe) {
    if (!modes.touched || !pipe.foreground()) return;
    if (modes.raw) pipe.setRaw(true);
    if (modes.suspended) {
        if (modes.titlePushed) put(pipe, TITLE_PUSH);
        if (modes.alternate) put(pipe, ENTER_ALTERNATE);
        if (modes.mouse) put(pipe, MOUSE_ON);
        modes.suspended = 0;
    }
    modes.repaint = 1;
}

} // namespace platform::terminal::detail
