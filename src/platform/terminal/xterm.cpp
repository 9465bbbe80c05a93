// The xterm device: an xterm-compatible terminal spoken to in escape sequences. The screen model's
// requests become bytes (UTF-8 text, ANSI colours); what the terminal sends (keys, mouse reports,
// cursor answers) is decoded into the shared input state. The bytes go through the pipe of the
// terminal in force: a real terminal, the page's terminal in the browser, or the emulated one the
// tests read back.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/platform.h"
#include "platform/terminal/pipe.h"
#include "platform/ways_out.h"

namespace platform::terminal {
namespace {

// What the program has changed on the terminal, read by the give-back and the take-back, from
// signal handlers too. The main line sets a flag before it sends a change and clears it after it
// has sent the undoing, so that a signal in between undoes too much rather than too little.
struct Modes {
    volatile sig_atomic_t touched;     // anything sent at all (colours, cursor, title)
    volatile sig_atomic_t raw;         // the program holds the input
    volatile sig_atomic_t quiet;       // cooked mode without echo, while the game window has the keys
    volatile sig_atomic_t resized;     // the terminal was asked for another size than it had
    volatile sig_atomic_t mouse;       // mouse reporting
    volatile sig_atomic_t alternate;   // drawing on the alternate screen
    volatile sig_atomic_t titlePushed; // the player's title kept on the terminal's title stack
    volatile sig_atomic_t suspended;   // given back for a stop: output waits for the take-back
    volatile sig_atomic_t repaint;     // taken back: the next poll draws everything again
};
Modes modes;

void resetModes() {
    for (volatile sig_atomic_t* flag : {&modes.touched, &modes.raw, &modes.quiet, &modes.resized, &modes.mouse,
                                        &modes.alternate, &modes.titlePushed, &modes.suspended, &modes.repaint})
        *flag = 0;
}

// A size request (CSI 8), kept as bytes for the handlers.
struct SizeRequest {
    char bytes[32];
    size_t length;
    int rows, cols;
};

void prepare(SizeRequest& request, int rows, int cols) {
    std::string bytes = "\x1b[8;" + std::to_string(rows) + ";" + std::to_string(cols) + "t";
    request.length = std::min(bytes.size(), sizeof request.bytes); // sides of five digits at most
    std::memcpy(request.bytes, bytes.data(), request.length);
    request.rows = rows;
    request.cols = cols;
}

// The size the terminal had before the program first asked for one (given back on the way out),
// and the size asked for last (asked again when the terminal is taken back after a stop). The one
// asked for last is written beside the other and then switched to, so that a handler never reads a
// request half written.
struct Sizes {
    bool startKnown = false;
    SizeRequest start{};
    SizeRequest asked[2]{};
    volatile sig_atomic_t current = 0;
};
Sizes sizes;

// Bytes prepared in advance, for the handlers.
constexpr char CANCEL[] = "\x18"; // ends any escape sequence cut short
constexpr char PLAIN[] = "\x1b[0m";
constexpr char MOUSE_ON[] = "\x1b[?1003h\x1b[?1006h"; // every motion, the cell in decimal
constexpr char MOUSE_OFF[] = "\x1b[?1006l\x1b[?1003l";
constexpr char ENTER_ALTERNATE[] = "\x1b[?1049h";
// The screen blanked in black, as a console's is, so that a light terminal shows no white between
// the launcher's black fields; the colours are then the terminal's own again, as the model expects.
constexpr char BLANK_BLACK[] = "\x1b[40m\x1b[2J\x1b[0m";
constexpr char LEAVE_ALTERNATE[] = "\x1b[0m\x1b[?1049l\x1b[0m"; // the colours of neither screen linger
constexpr char CURSOR_SHOWN[] = "\x1b[?25h";
constexpr char CURSOR_HIDDEN[] = "\x1b[?25l";
constexpr char TITLE_PUSH[] = "\x1b[22;0t";
constexpr char TITLE_POP[] = "\x1b[23;0t";

template <size_t N> void put(const detail::Pipe& pipe, const char (&bytes)[N]) { pipe.write(bytes, N - 1); }

constexpr int ESC_WAIT_MS = 50;    // a lone ESC this old is the Escape key, not a sequence
constexpr size_t PENDING_MAX = 64; // no sequence we understand is longer

struct Vt {
    std::string out;
    std::map<uint16_t, std::string> utf8Cache;
    // Input not decoded yet, and the cursor query under way.
    std::string pending;
    long long pendingSince = 0;
    bool awaitingCursor = false;
    bool cursorAnswered = false;
    Cell answer;
};

Vt& vt() {
    static Vt v;
    return v;
}

const detail::Pipe& pipe() { return *detail::terminal().pipe; }

long long now() { return platform::nowMs(); }

std::string& out() { return vt().out; }

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

void send(const std::string& bytes) {
    // What the game printed through stdio comes first.
    std::fflush(stdout);
    pipe().write(bytes.data(), bytes.size());
}

// The terminal the ways out give back: set once, before the first change, and read by them.
const detail::Pipe* volatile heldPipe = nullptr;

// Before the program changes anything on the terminal: every way out will give it back.
void holdTerminal() {
    if (pipe().givenBackOnExit && !heldPipe) {
        heldPipe = &pipe();
        platform::detail::onExit({[](bool ending) { detail::giveBack(*heldPipe, ending); },
                                  [] { detail::takeBack(*heldPipe); }});
    }
    modes.touched = 1;
}

// The drawing goes on the alternate screen, so that the shell's screen comes back as it was.
void enterAlternate() {
    if (modes.alternate) return;
    modes.alternate = 1;
    out().insert(0, std::string(ENTER_ALTERNATE) + BLANK_BLACK);
}

// ---- input ---------------------------------------------------------------------------------

void special(int vk) {
    detail::noteTapped(vk);
    detail::typeSpecial(vk);
}

void functionKey(int n) { special(platform::VK_F1 + n - 1); }

void asciiKey(unsigned char b) {
    switch (b) {
    case '\r':
    case '\n':
        detail::noteTapped(platform::VK_RETURN);
        detail::typeByte(13);
        return;
    case 0x7F:
    case 0x08:
        detail::noteTapped(platform::VK_BACK);
        detail::typeByte(8);
        return;
    case '\t':
        detail::noteTapped(platform::VK_TAB);
        detail::typeByte(9);
        return;
    case 0:
        return;
    default:
        break;
    }
    if (b >= 'a' && b <= 'z') detail::noteTapped(b - 'a' + 'A');
    else if ((b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == ' ') detail::noteTapped(b);
    else if (b >= 1 && b <= 26) detail::noteTapped('A' + b - 1); // Ctrl and a letter
    detail::typeByte(b);
}

void escapeKey() {
    detail::noteTapped(platform::VK_ESCAPE);
    detail::typeByte(27);
}

void mouseReport(int button, int col, int row, bool pressed) {
    detail::pointerAt(row, col);
    if (button & 64) return; // wheel
    bool motion = (button & 32) != 0;
    int which = button & 3;
    if (motion) {
        detail::noteHeld(platform::VK_LBUTTON, which == 0);
        return;
    }
    if (which != 0) {
        if (which == 3) detail::noteHeld(platform::VK_LBUTTON, false); // a release that does not say which button
        return;
    }
    if (pressed) detail::notePressed(platform::VK_LBUTTON);
    else detail::noteReleased(platform::VK_LBUTTON);
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
    case 7: return special(platform::VK_HOME);
    case 2: return special(platform::VK_INSERT);
    case 3: return special(platform::VK_DELETE);
    case 4:
    case 8: return special(platform::VK_END);
    case 5: return special(platform::VK_PRIOR);
    case 6: return special(platform::VK_NEXT);
    default: break;
    }
    static const int FUNCTION_CODES[] = {11, 12, 13, 14, 15, 17, 18, 19, 20, 21, 23, 24};
    for (int i = 0; i < 12; ++i)
        if (FUNCTION_CODES[i] == n) return functionKey(i + 1);
}

bool letterKey(char final) {
    switch (final) {
    case 'A': special(platform::VK_UP); return true;
    case 'B': special(platform::VK_DOWN); return true;
    case 'C': special(platform::VK_RIGHT); return true;
    case 'D': special(platform::VK_LEFT); return true;
    case 'H': special(platform::VK_HOME); return true;
    case 'F': special(platform::VK_END); return true;
    case 'P': functionKey(1); return true;
    case 'Q': functionKey(2); return true;
    case 'R': functionKey(3); return true;
    case 'S': functionKey(4); return true;
    default: return false;
    }
}

void csi(const std::string& body, char final) {
    Vt& v = vt();
    char prefix = !body.empty() && body[0] >= 0x3C && body[0] <= 0x3F ? body[0] : 0;
    std::vector<int> p = csiParams(prefix ? body.substr(1) : body);
    if (prefix == '<' && (final == 'M' || final == 'm')) {
        if (p.size() == 3 && p[0] >= 0 && p[1] > 0 && p[2] > 0) mouseReport(p[0], p[1], p[2], final == 'M');
        return;
    }
    if (prefix) return;
    if (final == 'R' && v.awaitingCursor && p.size() == 2 && p[0] > 0 && p[1] > 0) {
        v.answer = {p[0], p[1]};
        v.cursorAnswered = true;
        return;
    }
    if (final == '~') return tildeKey(p[0]);
    if (final == 'Z') {
        detail::noteTapped(platform::VK_TAB);
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
    for (char g : utf8ToGbk(s.substr(i, len))) detail::typeByte((unsigned char)g);
    return len;
}

void decode(const std::string& bytes) {
    Vt& v = vt();
    if (v.pending.empty() && !bytes.empty()) v.pendingSince = now();
    v.pending += bytes;
    for (;;) {
        size_t i = 0;
        while (i < v.pending.size()) {
            size_t used = decodeOne(v.pending, i);
            if (used == 0) break;
            i += used;
        }
        if (i > 0) {
            v.pending.erase(0, i);
            v.pendingSince = now();
        }
        if (v.pending.empty() || now() - v.pendingSince < ESC_WAIT_MS) break;
        // A sequence that never completed: a lone ESC was the Escape key; other leftovers are noise.
        if (v.pending[0] == 0x1B) escapeKey();
        v.pending.erase(0, 1);
    }
    if (v.pending.size() > PENDING_MAX) v.pending.clear();
}

std::string takeInput() {
    std::string bytes;
    char buffer[256];
    for (;;) {
        int got = pipe().read(buffer, sizeof buffer);
        if (got <= 0) break;
        bytes.append(buffer, (size_t)got);
        if (got < (int)sizeof buffer) break;
    }
    return bytes;
}

// ---- the device under the screen model -----------------------------------------------------

namespace device {

bool interactive() { return pipe().interactive(); }

void size(int& rows, int& cols) {
    rows = 24;
    cols = 80;
    pipe().size(rows, cols);
}

void place(int row, int col) { out() += "\x1b[" + std::to_string(row) + ";" + std::to_string(col) + "H"; }

void attribute(int attribute) { out() += sgr(attribute); }

void character(uint16_t code) {
    auto& cache = vt().utf8Cache;
    auto it = cache.find(code);
    if (it == cache.end()) {
        std::string text;
        if (code < 0x80) text = std::string(1, (char)code);
        else text = gbkToUtf8(std::string{(char)(code >> 8), (char)(code & 0xFF)});
        it = cache.emplace(code, text).first;
    }
    out() += it->second;
}

void clear(int attribute) { out() += sgr(attribute) + "\x1b[2J\x1b[H"; }

void scrollUp() { out() += "\x1b[S"; }

void title(const std::string& gbk) {
    std::string utf8 = gbkToUtf8(gbk);
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
        out() += TITLE_PUSH;
    }
    out() += "\x1b]0;" + clean + "\x07";
}

// The terminal is asked, and the screen model takes the size at once. A terminal that cannot say
// its size is not asked: its size could not be given back.
void resize(int& rows, int& cols) {
    int nowRows = 0, nowCols = 0;
    pipe().size(nowRows, nowCols);
    if (nowRows <= 0 || nowCols <= 0) return size(rows, cols);
    if (!sizes.startKnown) {
        prepare(sizes.start, nowRows, nowCols);
        sizes.startKnown = true;
    }
    int next = 1 - sizes.current;
    prepare(sizes.asked[next], rows, cols);
    sizes.current = next;
    if (rows != sizes.start.rows || cols != sizes.start.cols) modes.resized = 1;
    out().append(sizes.asked[next].bytes, sizes.asked[next].length);
}

void cursorVisible(bool visible) { out() += visible ? CURSOR_SHOWN : CURSOR_HIDDEN; }

bool cursor(Cell& at) {
    // Where the terminal left the cursor: ask, but never wait long.
    terminal::beginInput();
    Vt& v = vt();
    if (!terminal::inputActive() || modes.suspended) return false;
    terminal::flush();
    v.awaitingCursor = true;
    v.cursorAnswered = false;
    send("\x1b[6n");
    long long waited = 0;
    detail::pumpInput();
    while (!v.cursorAnswered && waited < QUERY_TIMEOUT_MS) {
        if (pipe().waitInput(10)) detail::pumpInput();
        waited += 10;
    }
    v.awaitingCursor = false;
    if (v.cursorAnswered) at = v.answer;
    return v.cursorAnswered;
}

bool flush() {
    std::string& o = out();
    if (o.empty()) return false;
    // Escape sequences have no business in a file or a pipe; and while the terminal is given back
    // for a stop, what would be drawn is drawn by the repaint after the take-back.
    if (!interactive() || modes.suspended) {
        o.clear();
        return true;
    }
    holdTerminal();
    enterAlternate();
    std::string bytes;
    bytes.swap(o);
    send(bytes);
    return true;
}

bool lost() {
    if (!modes.repaint || modes.suspended) return false;
    modes.repaint = 0;
    return true;
}

bool erase() {
    if (!modes.alternate) return false;
    out() += BLANK_BLACK;
    return true;
}

bool endScreen(int cursorShown) {
    if (!modes.alternate) return false;
    out() += LEAVE_ALTERNATE;
    // Some terminals restore the cursor's visibility with its place: keep the program's.
    if (cursorShown >= 0) out() += cursorShown ? CURSOR_SHOWN : CURSOR_HIDDEN;
    flush();
    modes.alternate = 0;
    return true;
}

void reset() {
    vt() = Vt{};
    resetModes();
    sizes.startKnown = false;
}

bool beginInput() {
    holdTerminal();
    modes.raw = 1;
    if (!pipe().beginInput()) {
        modes.raw = 0;
        return false;
    }
    modes.quiet = 0;
    modes.mouse = 1;
    out() += MOUSE_ON;
    return true;
}

void endInput() {
    out() += MOUSE_OFF;
    terminal::flush();
    modes.mouse = 0;
    // Keys typed from now on are for the game window, or stray: the terminal shows none of them.
    if (pipe().setQuiet) {
        modes.quiet = 1;
        pipe().setQuiet();
    } else {
        pipe().setRaw(false);
    }
    modes.raw = 0;
    Vt& v = vt();
    v.pending.clear();
    v.awaitingCursor = v.cursorAnswered = false;
}

bool read() {
    std::string bytes = takeInput();
    decode(bytes);
    return !bytes.empty();
}

void waitInput(int ms) { pipe().waitInput(ms); }

} // namespace device
} // namespace

// ---- the ways out and back -----------------------------------------------------------------

namespace detail {

const Device XTERM_DEVICE = {
    device::interactive,   device::size,   device::place, device::attribute, device::character,
    device::clear,         device::scrollUp, device::title, device::resize, device::cursorVisible,
    device::cursor,        device::flush,  device::lost,  device::erase,     device::endScreen,
    device::reset,         device::beginInput, device::endInput, device::read, device::waitInput,
};

void giveBack(const Pipe& pipe, bool ending) {
    if (!modes.touched || !pipe.foreground()) return;
    if (!modes.suspended) {
        put(pipe, CANCEL);
        if (modes.mouse) put(pipe, MOUSE_OFF);
        put(pipe, PLAIN);
        if (modes.alternate) put(pipe, LEAVE_ALTERNATE);
        if (modes.resized) pipe.write(sizes.start.bytes, sizes.start.length);
        put(pipe, CURSOR_SHOWN);
        if (modes.titlePushed) put(pipe, TITLE_POP);
        if (modes.raw || modes.quiet) pipe.setRaw(false);
    }
    // Keys typed for the program must not reach the shell.
    pipe.discardInput();
    if (!ending) modes.suspended = 1;
}

void takeBack(const Pipe& pipe) {
    if (!modes.touched || !pipe.foreground()) return;
    if (modes.raw) pipe.setRaw(true);
    else if (modes.quiet) pipe.setQuiet();
    if (modes.suspended) {
        if (modes.titlePushed) put(pipe, TITLE_PUSH);
        // The launcher's size again while it draws; the game window's time needs none.
        if (modes.resized && modes.alternate) {
            const SizeRequest& asked = sizes.asked[sizes.current];
            pipe.write(asked.bytes, asked.length);
        }
        if (modes.alternate) put(pipe, ENTER_ALTERNATE); // blanked by the repaint
        if (modes.mouse) put(pipe, MOUSE_ON);
        modes.suspended = 0;
    }
    modes.repaint = 1;
}

} // namespace detail
} // namespace platform::terminal
