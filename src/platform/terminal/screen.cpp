// The terminal half of the seam as every system shares it: a screen model that sends only what
// changed, the input state (pointer, left button, keys, typed characters) the terminal's device
// reports to, and the public functions over both. The device in force (device.h) turns the model's
// requests into the terminal's language and its input into the reports.
#include "platform/terminal.h"

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/backend.h"
#include "platform/platform.h"
#include "platform/terminal/device.h"

namespace platform::terminal {
namespace {

constexpr size_t TYPED_MAX = 256; // typed characters nobody reads are not kept for ever
constexpr int MAX_ROWS = 300;
constexpr int MAX_COLS = 500;
// A loop that only polls the terminal, with nothing arriving and nothing to draw, waits this long
// for input at each further poll: input still wakes it at once.
constexpr int IDLE_POLLS = 256;
constexpr int IDLE_WAIT_MS = 4;

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
    std::string title;    // as asked for (GBK), to set again after the terminal was lost
    bool repaintDue = false; // the screen changed size under the model
};

// A key or button whose presses and releases are reported.
struct Latch {
    bool down = false;
    bool latched = false;  // a press not yet seen by a read
    long long until = 0;   // set at release: an unseen quick press is forgotten after this
};

struct Input {
    bool active = false;
    Cell pointer;
    Latch latches[256];
    long long tappedUntil[256] = {}; // keys whose releases are never reported
    std::deque<unsigned char> typed;
    int idlePolls = 0;
};

struct State {
    Output o;
    Input in;
};

State& st() {
    static State s;
    return s;
}

const detail::Terminal* current = &detail::SYSTEM_TERMINAL;

const detail::Device& device() { return *current->device; }

long long now() { return platform::nowMs(); }

// ---- output --------------------------------------------------------------------------------

void clampSize(int& rows, int& cols) {
    rows = rows < 1 ? 1 : rows > MAX_ROWS ? MAX_ROWS : rows;
    cols = cols < 1 ? 1 : cols > MAX_COLS ? MAX_COLS : cols;
}

void ensureScreen() {
    Output& o = st().o;
    if (!o.cells.empty()) return;
    int rows = 24, cols = 80;
    device().size(rows, cols);
    clampSize(rows, cols);
    o.rows = rows;
    o.cols = cols;
    o.cells.assign((size_t)o.rows * o.cols, ScreenCell{});
}

ScreenCell& at(int row, int col) {
    Output& o = st().o;
    return o.cells[(size_t)(row - 1) * o.cols + (col - 1)];
}

void placeTerm(int row, int col) {
    Output& o = st().o;
    if (o.termRow == row && o.termCol == col) return;
    device().place(row, col);
    o.termRow = row;
    o.termCol = col;
}

void attrTerm(int attr) {
    Output& o = st().o;
    if (o.termAttr == attr) return;
    device().attribute(attr);
    o.termAttr = attr;
}

// Sends the model's cell to the terminal.
void sendCell(int row, int col) {
    Output& o = st().o;
    const ScreenCell& cell = at(row, col);
    placeTerm(row, col);
    attrTerm(cell.attr);
    device().character(cell.code);
    if (cell.wide) {
        // Terminals disagree on the width of some characters: place the next one afresh.
        o.termRow = o.termCol = 0;
    } else {
        o.termCol = col + 1 <= o.cols ? col + 1 : 0;
    }
}

// The terminal lost what it showed: everything the program has drawn is sent again, on a blank
// screen, with the title and the cursor as the program left them.
void repaint() {
    Output& o = st().o;
    o.termRow = o.termCol = 0;
    o.termAttr = -1;
    o.termCursorVisible = -1;
    if (!o.title.empty()) device().title(o.title);
    if (!o.cells.empty() && device().erase()) {
        for (int row = 1; row <= o.rows; ++row)
            for (int col = 1; col <= o.cols; ++col)
                if (at(row, col).known && !at(row, col).tail) sendCell(row, col);
    }
    if (o.cursorShown >= 0) {
        device().cursorVisible(o.cursorShown);
        o.termCursorVisible = o.cursorShown;
    }
}

// A shown cursor stands where the program put it, even when nothing was written there.
void followCursor() {
    Output& o = st().o;
    if (!o.placed || o.cursorShown == 0 || o.cells.empty()) return;
    placeTerm(o.row, o.col);
}

bool flushOut() {
    Output& o = st().o;
    if (device().lost() || o.repaintDue) {
        o.repaintDue = false;
        repaint();
    }
    followCursor();
    return device().flush();
}

void lineFeed() {
    Output& o = st().o;
    if (++o.row <= o.rows) return;
    // Past the last line the screen scrolls up by one.
    o.row = o.rows;
    o.cells.erase(o.cells.begin(), o.cells.begin() + o.cols);
    o.cells.resize((size_t)o.rows * o.cols, ScreenCell{});
    device().scrollUp();
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

// ---- input ---------------------------------------------------------------------------------

// Whether a latched key or button reads down; a read sees a quick press once.
bool readLatch(Latch& latch) {
    bool down = latch.down || latch.latched;
    latch.latched = false;
    return down;
}

void forgetOldPresses() {
    for (Latch& latch : st().in.latches)
        if (!latch.down && latch.latched && now() > latch.until) latch.latched = false;
}

// One input poll as the rest of the seam counts them: the test's script runs first on the
// headless backend; a real loop that only polls is slowed down instead.
void poll() {
    beginInput();
    platform::detail::backend().beforePoll(-1);
    detail::pumpInput();
}

bool keySource(int vk) {
    Input& in = st().in;
    detail::pumpInput();
    if (vk < 0 || vk > 0xFF) return false;
    return readLatch(in.latches[vk]) || in.tappedUntil[vk] > now();
}

struct SpecialKey {
    int vk;
    unsigned char prefix; // 0xE0 or 0, as a console reports extended keys
    unsigned char code;
};

constexpr SpecialKey SPECIAL_KEYS[] = {
    {platform::VK_UP, 0xE0, 'H'},   {platform::VK_DOWN, 0xE0, 'P'}, {platform::VK_LEFT, 0xE0, 'K'},
    {platform::VK_RIGHT, 0xE0, 'M'}, {platform::VK_HOME, 0xE0, 'G'},  {platform::VK_END, 0xE0, 'O'},
    {platform::VK_PRIOR, 0xE0, 'I'},  {platform::VK_NEXT, 0xE0, 'Q'},   {platform::VK_INSERT, 0xE0, 'R'},
    {platform::VK_DELETE, 0xE0, 'S'}, {platform::VK_F1 + 0, 0, 0x3B},   {platform::VK_F1 + 1, 0, 0x3C},
    {platform::VK_F1 + 2, 0, 0x3D},   {platform::VK_F1 + 3, 0, 0x3E},   {platform::VK_F1 + 4, 0, 0x3F},
    {platform::VK_F1 + 5, 0, 0x40},   {platform::VK_F1 + 6, 0, 0x41},   {platform::VK_F1 + 7, 0, 0x42},
    {platform::VK_F1 + 8, 0, 0x43},   {platform::VK_F1 + 9, 0, 0x44},   {platform::VK_F1 + 10, 0xE0, 0x85},
    {platform::VK_F1 + 11, 0xE0, 0x86},
};

} // namespace

bool interactive() { return device().interactive(); }

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
        // Where the terminal has the cursor before the program placed it; until the terminal
        // says, nothing moves its cursor.
        o.row = o.col = 1;
        Cell found;
        if (device().cursor(found)) {
            o.row = found.row > o.rows ? o.rows : found.row;
            o.col = found.col > o.cols ? o.cols : found.col;
            o.termRow = found.row;
            o.termCol = found.col;
        } else {
            o.termRow = o.termCol = 0;
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
    device().clear(o.attr);
    o.termAttr = o.attr;
    o.termRow = o.termCol = 1;
    o.row = o.col = 1;
    o.placed = true;
    flush();
}

void setTitle(const std::string& gbk) {
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
    st().o.title = title;
    device().title(title);
    flush();
}

void setSize(int cols, int rows) {
    settle();
    ensureScreen();
    Output& o = st().o;
    clampSize(rows, cols);
    device().resize(rows, cols);
    clampSize(rows, cols);
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
        device().cursorVisible(visible);
        o.termCursorVisible = visible;
    }
    flush();
}

void flush() { flushOut(); }

void endScreen() {
    settle();
    flush();
    Output& o = st().o;
    if (!device().endScreen(o.cursorShown)) return;
    // The screen shown now is not the model's: nothing on it is known, nor where its cursor is.
    o.cells.assign((size_t)o.rows * o.cols, ScreenCell{});
    o.row = o.col = 1;
    o.placed = false;
    o.termRow = o.termCol = 0;
    o.termAttr = -1;
}

// ---- input ---------------------------------------------------------------------------------

void beginInput() {
    Input& in = st().in;
    if (in.active || !interactive()) return;
    if (!device().beginInput()) return;
    in.active = true;
    flush();
    platform::detail::setTerminalKeys(keySource);
}

void endInput() {
    Input& in = st().in;
    if (!in.active) return;
    detail::pumpInput();
    device().endInput();
    platform::detail::setTerminalKeys(nullptr);
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

void pointerAt(int row, int col) {
    Input& in = st().in;
    if (row < 1) row = 1;
    if (col < 1) col = 1;
    // A click is meant for where it happened.
    if (row != in.pointer.row || col != in.pointer.col) in.latches[platform::VK_LBUTTON].latched = false;
    in.pointer = {row, col};
}

void notePressed(int vk) {
    Latch& latch = st().in.latches[vk & 0xFF];
    latch.down = true;
    latch.latched = true;
}

void noteReleased(int vk) {
    Latch& latch = st().in.latches[vk & 0xFF];
    latch.down = false;
    latch.until = now() + CLICK_KEEP_MS;
}

void noteHeld(int vk, bool down) { st().in.latches[vk & 0xFF].down = down; }

void noteState(int vk, bool down) {
    if (down == st().in.latches[vk & 0xFF].down) return;
    if (down) notePressed(vk);
    else noteReleased(vk);
}

void screenResized() {
    Output& o = st().o;
    if (o.cells.empty()) return;
    int rows = o.rows, cols = o.cols;
    device().size(rows, cols);
    clampSize(rows, cols);
    if (rows == o.rows && cols == o.cols) return; // the program's own resize, reported back
    std::vector<ScreenCell> cells((size_t)rows * cols);
    for (int row = 1; row <= rows && row <= o.rows; ++row)
        for (int col = 1; col <= cols && col <= o.cols; ++col) cells[(size_t)(row - 1) * cols + (col - 1)] = at(row, col);
    // A double-width character cut in half by the new edge is not known any more.
    if (cols < o.cols)
        for (int row = 1; row <= rows && row <= o.rows; ++row)
            if (at(row, cols).wide) cells[(size_t)(row - 1) * cols + (cols - 1)] = ScreenCell{};
    o.cells.swap(cells);
    o.rows = rows;
    o.cols = cols;
    if (o.row > rows) o.row = rows;
    if (o.col > cols) o.col = cols;
    o.repaintDue = true;
}

void noteTapped(int vk) { st().in.tappedUntil[vk & 0xFF] = now() + KEY_HOLD_MS; }

void typeByte(unsigned char b) {
    Input& in = st().in;
    if (in.typed.size() < TYPED_MAX) in.typed.push_back(b);
}

bool typeSpecial(int vk) {
    for (const SpecialKey& key : SPECIAL_KEYS) {
        if (key.vk != vk) continue;
        Input& in = st().in;
        // Both codes or neither: a lone prefix would swallow the next key.
        if (in.typed.size() + 1 < TYPED_MAX) {
            in.typed.push_back(key.prefix);
            in.typed.push_back(key.code);
        }
        return true;
    }
    return false;
}

void pumpInput() {
    Input& in = st().in;
    if (flushOut()) in.idlePolls = 0;
    if (++in.idlePolls > IDLE_POLLS && in.active) device().waitInput(IDLE_WAIT_MS);
    if (device().read()) in.idlePolls = 0;
    forgetOldPresses();
    if (st().o.repaintDue) flushOut();
}

const Terminal& terminal() { return *current; }

void useTerminal(const Terminal& terminal) {
    st() = State{};
    current = &terminal;
    device().reset();
    platform::detail::setTerminalKeys(nullptr);
}

} // namespace platform::terminal::detail
