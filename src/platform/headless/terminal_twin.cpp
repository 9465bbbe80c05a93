// The emulated terminal of the headless backend: the program's escape-sequence output goes into
// libvterm, so tests read cells, colours, the title and the modes as a player would see them, and
// the player's keys and pointer come back as the bytes that terminal sends.
#include <vterm.h>

#include <memory>
#include <vector>

#include <cstring>

#include "platform/headless/headless.h"
#include "platform/headless/terminal_twin.h"
#include "platform/headless/test_terminal.h"
#include "platform/terminal/pipe.h"
#include "platform/utf8.h"

namespace platform::terminal {
namespace {

struct Twin {
    VTerm* vt = nullptr;
    VTermScreen* screen = nullptr;
    std::string toProgram;
    std::string title;
    std::vector<std::string> titles; // the title stack (CSI 22 t / 23 t)
    bool cursorVisible = true;
    bool alternate = false;
    bool foreground = true;
    int mouseMode = VTERM_PROP_MOUSE_NONE;
    bool interactive = true;
    // The terminal's input modes: as found (cooked, typed keys echoed), raw, or cooked without echo.
    enum class Modes { FOUND, RAW, QUIET } modes = Modes::FOUND;
    bool sizeHidden = false;
    bool silent = false;
    bool answering = false; // the program's output is being read: what comes back is an answer
    long long written = 0;
    int answered = 0;
    int resizeRows = 0;
    int resizeCols = 0;

    ~Twin() {
        if (vt) vterm_free(vt);
    }
};

std::unique_ptr<Twin>& holder() {
    static std::unique_ptr<Twin> twin;
    return twin;
}

void fromTerminal(const char* bytes, size_t len, void* user) {
    Twin* t = static_cast<Twin*>(user);
    if (t->answering) {
        if (t->silent) return;
        ++t->answered;
    }
    t->toProgram.append(bytes, len);
}

int setProperty(VTermProp prop, VTermValue* value, void* user) {
    Twin* t = static_cast<Twin*>(user);
    switch (prop) {
    case VTERM_PROP_TITLE: t->title = value->string ? value->string : ""; break;
    case VTERM_PROP_CURSORVISIBLE: t->cursorVisible = value->boolean != 0; break;
    case VTERM_PROP_MOUSE: t->mouseMode = value->number; break;
    case VTERM_PROP_ALTSCREEN: t->alternate = value->boolean != 0; break;
    default: break;
    }
    return 1;
}

// Window operations libvterm leaves to its host: a resize request is granted, as by a terminal
// that allows them; titles are pushed and popped.
int unknownCsi(const char* leader, const long args[], int argc, const char*, char command, void* user) {
    Twin* t = static_cast<Twin*>(user);
    if (leader && leader[0]) return 0;
    if (command == 't' && argc >= 3 && CSI_ARG(args[0]) == 8) {
        long rows = CSI_ARG(args[1]), cols = CSI_ARG(args[2]);
        if (rows > 0 && rows <= 300 && cols > 0 && cols <= 500) {
            t->resizeRows = (int)rows;
            t->resizeCols = (int)cols;
        }
        return 1;
    }
    if (command == 't' && argc >= 1 && (CSI_ARG(args[0]) == 22 || CSI_ARG(args[0]) == 23)) {
        if (CSI_ARG(args[0]) == 22) {
            t->titles.push_back(t->title);
        } else if (!t->titles.empty()) {
            t->title = t->titles.back();
            t->titles.pop_back();
        }
        return 1;
    }
    return command == 't' ? 1 : 0;
}

Twin& twin() {
    std::unique_ptr<Twin>& h = holder();
    if (!h) {
        h = std::make_unique<Twin>();
        Twin* t = h.get();
        t->vt = vterm_new(24, 80);
        vterm_set_utf8(t->vt, 1);
        vterm_output_set_callback(t->vt, fromTerminal, t);
        t->screen = vterm_obtain_screen(t->vt);
        static VTermScreenCallbacks callbacks{};
        callbacks.settermprop = setProperty;
        vterm_screen_set_callbacks(t->screen, &callbacks, t);
        static VTermParserCallbacks fallbacks{};
        fallbacks.csi = unknownCsi;
        vterm_screen_set_unrecognised_fallbacks(t->screen, &fallbacks, t);
        vterm_screen_enable_altscreen(t->screen, 1);
        vterm_screen_reset(t->screen, 1);
    }
    return *h;
}

VTermScreenCell cellAt(int row, int col) {
    VTermScreenCell cell{};
    VTermPos pos{row - 1, col - 1};
    vterm_screen_get_cell(twin().screen, pos, &cell);
    return cell;
}

int consoleColour(const VTermColor& colour) {
    if (!VTERM_COLOR_IS_INDEXED(&colour)) return -1;
    int ansi = colour.indexed.idx;
    if (ansi > 15) return -1;
    // ANSI's bits are red 1, green 2, blue 4; the console's blue 1, green 2, red 4.
    return ((ansi & 1) << 2) | (ansi & 2) | ((ansi & 4) >> 2) | (ansi & 8);
}

// ---- the pipe the xterm device writes to and reads from ----------------------------------

namespace pipe {

bool interactive() { return twin().interactive; }

void write(const char* bytes, size_t n) {
    Twin& t = twin();
    t.written += (long long)n;
    t.answering = true;
    vterm_input_write(t.vt, bytes, n);
    t.answering = false;
    if (t.resizeRows > 0) {
        vterm_set_size(t.vt, t.resizeRows, t.resizeCols);
        t.resizeRows = t.resizeCols = 0;
    }
}

// What the emulated terminal has sent to the program (nothing while the program does not hold its
// input, as with a real one).
int read(char* buffer, int capacity) {
    Twin& t = twin();
    if (t.modes != Twin::Modes::RAW) return 0;
    int n = (int)std::min(t.toProgram.size(), (size_t)capacity);
    std::memcpy(buffer, t.toProgram.data(), (size_t)n);
    t.toProgram.erase(0, (size_t)n);
    return n;
}

void setRaw(bool raw) { twin().modes = raw ? Twin::Modes::RAW : Twin::Modes::FOUND; }
void setQuiet() { twin().modes = Twin::Modes::QUIET; }
bool beginInput() {
    setRaw(true);
    return true;
}
void discardInput() { twin().toProgram.clear(); }
bool foreground() { return twin().foreground; }
// It answers at once, on the virtual clock: nothing is ever waited for.
bool waitInput(int) { return false; }
// Its size as it is now, unless a test has it keep quiet (as a serial line does); it starts at
// 80 x 24, the size the device assumes when a terminal does not say.
void size(int& rows, int& cols) {
    if (!twin().sizeHidden) vterm_get_size(twin().vt, &rows, &cols);
}

} // namespace pipe

// The ways out of the test process do not give it back: it ends with the process.
const detail::Pipe TWIN_PIPE = {pipe::write,       pipe::setRaw,     pipe::discardInput, pipe::foreground,
                                pipe::interactive, pipe::beginInput, pipe::read,         pipe::waitInput,
                                pipe::size,        false,            pipe::setQuiet};
const detail::Terminal TWIN_TERMINAL = {&detail::XTERM_DEVICE, &TWIN_PIPE};

} // namespace

namespace detail {

void useTestTerminal() {
    holder().reset();
    useTerminal(TWIN_TERMINAL);
}

} // namespace detail

namespace headless {

void setInteractive(bool yes) { twin().interactive = yes; }

void movePointer(int row, int col) { vterm_mouse_move(twin().vt, row - 1, col - 1, VTERM_MOD_NONE); }

void movePointerPixel(int x, int y) { movePointer(y / 16 + 1, x / 8 + 1); }

void setLeftButton(bool down) { vterm_mouse_button(twin().vt, 1, down, VTERM_MOD_NONE); }

void type(const std::string& utf8) {
    Twin& t = twin();
    // In the modes the shell had, the terminal's line discipline shows what is typed.
    if (t.modes == Twin::Modes::FOUND) otherOutput(utf8);
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = (unsigned char)utf8[i];
        size_t len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        uint32_t cp = len == 1 ? b : (b & (0x7F >> len));
        for (size_t k = 1; k < len && i + k < utf8.size(); ++k) cp = (cp << 6) | ((unsigned char)utf8[i + k] & 0x3F);
        vterm_keyboard_unichar(t.vt, cp, VTERM_MOD_NONE);
        i += len;
    }
}

void pressKey(Key key) {
    VTermKey code = VTERM_KEY_NONE;
    switch (key) {
    case Key::Enter: code = VTERM_KEY_ENTER; break;
    case Key::Tab: code = VTERM_KEY_TAB; break;
    case Key::Backspace: code = VTERM_KEY_BACKSPACE; break;
    case Key::Escape: code = VTERM_KEY_ESCAPE; break;
    case Key::Up: code = VTERM_KEY_UP; break;
    case Key::Down: code = VTERM_KEY_DOWN; break;
    case Key::Left: code = VTERM_KEY_LEFT; break;
    case Key::Right: code = VTERM_KEY_RIGHT; break;
    case Key::Home: code = VTERM_KEY_HOME; break;
    case Key::End: code = VTERM_KEY_END; break;
    case Key::Delete: code = VTERM_KEY_DEL; break;
    case Key::F1: code = (VTermKey)(VTERM_KEY_FUNCTION_0 + 1); break;
    case Key::F5: code = (VTermKey)(VTERM_KEY_FUNCTION_0 + 5); break;
    }
    vterm_keyboard_key(twin().vt, code, VTERM_MOD_NONE);
}

void sendBytes(const std::string& bytes) { twin().toProgram += bytes; }

void silenceQueries(bool silent) { twin().silent = silent; }

void otherOutput(const std::string& bytes) { vterm_input_write(twin().vt, bytes.data(), bytes.size()); }

void stopProgram() { detail::giveBack(TWIN_PIPE, false); }

void continueProgram(bool foreground) {
    twin().foreground = foreground;
    detail::takeBack(TWIN_PIPE);
}

void endProgram() { detail::giveBack(TWIN_PIPE, true); }

std::string text(int row, int col, int count) {
    std::string out;
    Cell size = screenSize();
    for (int c = col; c < col + count && c <= size.col; ++c) {
        if (row < 1 || row > size.row || c < 1) continue;
        VTermScreenCell cell = cellAt(row, c);
        if (cell.chars[0] == 0) {
            out += ' ';
            continue;
        }
        if (cell.chars[0] == (uint32_t)-1) continue; // second half of a wide character
        for (int k = 0; k < VTERM_MAX_CHARS_PER_CELL && cell.chars[k]; ++k) appendUtf8(out, cell.chars[k]);
        if (cell.width == 2) ++c;
    }
    return out;
}

std::string rowText(int row) {
    std::string line = text(row, 1, screenSize().col);
    size_t end = line.find_last_not_of(' ');
    return end == std::string::npos ? "" : line.substr(0, end + 1);
}

int foreground(int row, int col) { return consoleColour(cellAt(row, col).fg); }

int background(int row, int col) { return consoleColour(cellAt(row, col).bg); }

std::string title() { return twin().title; }

Cell screenSize() {
    int rows = 0, cols = 0;
    vterm_get_size(twin().vt, &rows, &cols);
    return {rows, cols};
}

Cell cursorCell() {
    VTermPos pos{};
    vterm_state_get_cursorpos(vterm_obtain_state(twin().vt), &pos);
    return {pos.row + 1, pos.col + 1};
}

bool cursorVisible() { return twin().cursorVisible; }

bool mouseReporting() { return twin().mouseMode == VTERM_PROP_MOUSE_MOVE; }

bool rawMode() { return twin().modes == Twin::Modes::RAW; }

bool echoing() { return twin().modes == Twin::Modes::FOUND; }

void resizeScreen(int rows, int cols) { vterm_set_size(twin().vt, rows, cols); }

void hideSize(bool hidden) { twin().sizeHidden = hidden; }

bool alternateScreen() { return twin().alternate; }

std::string unreadInput() { return twin().toProgram; }

long long bytesWritten() { return twin().written; }

int queriesAnswered() { return twin().answered; }

} // namespace headless
} // namespace platform::terminal
