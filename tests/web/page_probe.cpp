// A stand-in for the game on the page, driving the page's glue the way the browser backend will:
// a launcher in the terminal (title, colours, mouse reports, Enter), then a window on the canvas
// with a button drawn in the game's face, the pointer mapped into the frame, a frame shown when
// something changed and a sleep that yields to the browser between polls. It counts its visits in
// the saved working folder. The end-to-end test of the page drives it.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

extern "C" {
void web_terminal_write(const char* bytes, int length);
int web_terminal_read(char* buffer, int size);
void web_window_open(int width, int height, int keepTerminal);
void web_window_present(const uint32_t* pixels, int width, int height);
void web_window_client_size(int* width, int* height);
void web_desktop_size(int* width, int* height);
int web_next_event(int* event);
void web_storage_sync();
int web_face_open(const char* name, int height, int width, int bold);
int web_glyph(int face, int codePoint, uint8_t* coverage, int capacity, int* box);
}

namespace {

enum Event { MOVE = 1, BUTTON_DOWN = 2, BUTTON_UP = 3, KEY_DOWN = 4, KEY_UP = 5, FOCUS_LOST = 6 };
constexpr int VK_LBUTTON = 0x01, VK_SPACE = 0x20;
constexpr uint32_t LOBBY = 0x203050, BATTLE = 0x205030, BUTTON = 0xC08020, WHITE = 0xFFFFFF;
// The game's window sizes, largest first: the largest that fits the browser window is opened.
constexpr int SIZES[][2] = {{1512, 1024}, {1134, 768}, {756, 512}};
constexpr int START_ROW = 6, START_FIRST_COLUMN = 3, START_LAST_COLUMN = 13;

void say(const std::string& text) { web_terminal_write(text.data(), (int)text.size()); }

// How many times the page has been opened here, kept in the saved working folder.
int countVisit() {
    int visits = 0;
    std::ifstream("visits.txt") >> visits;
    std::ofstream("visits.txt") << ++visits << "\n";
    web_storage_sync();
    return visits;
}

struct Frame {
    int width, height;
    std::vector<uint32_t> pixels;

    void fill(int x, int y, int w, int h, uint32_t colour) {
        for (int row = std::max(0, y); row < std::min(height, y + h); ++row)
            for (int col = std::max(0, x); col < std::min(width, x + w); ++col) pixels[(size_t)row * width + col] = colour;
    }
    // White text centred on (cx, cy), blended by the glyphs' coverage.
    void text(int face, const std::u32string& s, int cx, int cy, int ascent) {
        std::vector<uint8_t> coverage(512 * 512);
        int box[4], advances = 0;
        for (char32_t c : s) advances += web_glyph(face, (int)c, coverage.data(), 0, box);
        int pen = cx - advances / 2;
        for (char32_t c : s) {
            int advance = web_glyph(face, (int)c, coverage.data(), (int)coverage.size(), box);
            for (int row = 0; row < box[3]; ++row)
                for (int col = 0; col < box[2]; ++col) blend(pen + box[0] + col, cy + ascent / 2 - box[1] + row, coverage[(size_t)row * box[2] + col]);
            pen += advance;
        }
    }
    void blend(int x, int y, unsigned a) {
        if (x < 0 || y < 0 || x >= width || y >= height || a == 0) return;
        uint32_t& p = pixels[(size_t)y * width + x];
        auto mix = [&](int shift) { return ((((p >> shift) & 0xFF) * (255 - a) + 0xFF * a) / 255) << shift; };
        p = mix(16) | mix(8) | mix(0);
    }
};

struct Probe {
    Frame frame;
    int face = 0;
    int pointerX = -1, pointerY = -1, clicks = 0;
    bool battle = false, marked = false, dirty = true;

    int buttonX() const { return frame.width * 2 / 5; }
    int buttonY() const { return frame.height * 3 / 4; }
    int buttonW() const { return frame.width / 5; }
    int buttonH() const { return frame.height / 10; }

    void draw() {
        frame.fill(0, 0, frame.width, frame.height, battle ? BATTLE : LOBBY);
        frame.fill(buttonX(), buttonY(), buttonW(), buttonH(), BUTTON);
        frame.text(face, U"冒险模式", buttonX() + buttonW() / 2, buttonY() + buttonH() / 2, frame.height / 24);
        if (marked) frame.fill(8, 8, 24, 24, WHITE);
        frame.fill(pointerX - 6, pointerY, 13, 1, WHITE);
        frame.fill(pointerX, pointerY - 6, 1, 13, WHITE);
        web_window_present(frame.pixels.data(), frame.width, frame.height);
        dirty = false;
    }

    // The event's point, from the canvas's device pixels into the frame's.
    void place(int x, int y) {
        int w = 1, h = 1;
        web_window_client_size(&w, &h);
        pointerX = x * frame.width / std::max(1, w);
        pointerY = y * frame.height / std::max(1, h);
        dirty = true;
    }

    void handle(const int* e) {
        if (e[0] == MOVE || e[0] == BUTTON_DOWN) place(e[2], e[3]);
        if (e[0] == BUTTON_DOWN && e[1] == VK_LBUTTON) {
            ++clicks;
            bool onButton = pointerX >= buttonX() && pointerX < buttonX() + buttonW() && pointerY >= buttonY() &&
                            pointerY < buttonY() + buttonH();
            say("\r\nclick " + std::to_string(clicks) + " at " + std::to_string(pointerX) + "," + std::to_string(pointerY) +
                (onButton ? " on the button" : ""));
            battle = battle || onButton;
        }
        if (e[0] == KEY_DOWN && e[1] == VK_SPACE) marked = !marked;
        dirty = true;
    }

    void run() {
        for (;;) {
            int e[4];
            while (web_next_event(e)) handle(e);
            if (dirty) draw();
            emscripten_sleep(10);
        }
    }
};

// The launcher: Enter (or a click on Start) opens the window; D opens it in debug mode.
bool launcher(int visits, int desktopW, int desktopH) {
    say("\x1b]0;Page probe\x07\x1b[?1049h\x1b[?25l\x1b[44m\x1b[2J\x1b[H\x1b[1;33m  Page probe\x1b[0;44m\r\n\r\n");
    say("  visits here: " + std::to_string(visits) + "\r\n");
    say("  browser window: " + std::to_string(desktopW) + " x " + std::to_string(desktopH) + "\r\n\r\n");
    say("\x1b[" + std::to_string(START_ROW) + ";" + std::to_string(START_FIRST_COLUMN) + "H\x1b[30;47m [ Start ] \x1b[0;44m");
    say("\r\n\r\n  Enter: start    D: start in debug mode\x1b[?1003h\x1b[?1006h");
    std::string input;
    for (;;) {
        char buffer[256];
        input.append(buffer, web_terminal_read(buffer, sizeof buffer));
        if (input.find('\r') != std::string::npos) return false;
        if (input.find('d') != std::string::npos) return true;
        // A press of the left button on Start: ESC [ < 0 ; column ; row M
        int column = 0, row = 0;
        for (size_t at = input.find("\x1b[<0;"); at != std::string::npos; at = input.find("\x1b[<0;", at + 1))
            if (std::sscanf(input.c_str() + at, "\x1b[<0;%d;%dM", &column, &row) == 2 && row == START_ROW &&
                column >= START_FIRST_COLUMN && column <= START_LAST_COLUMN)
                return false;
        emscripten_sleep(10);
    }
}

} // namespace

int main() {
    int visits = countVisit();
    int desktopW = 0, desktopH = 0;
    web_desktop_size(&desktopW, &desktopH);
    bool debug = launcher(visits, desktopW, desktopH);
    say("\x1b[?1006l\x1b[?1003l\x1b[?25h\x1b[0m\x1b[2J\x1b[HWindow open\r\n");
    const int* size = SIZES[2];
    for (const auto& s : SIZES)
        if (s[0] <= desktopW && s[1] <= desktopH) {
            size = s;
            break;
        }
    Probe probe{{size[0], size[1], std::vector<uint32_t>((size_t)size[0] * size[1])}};
    // The game's face by name (the browser falls back to the shipped one), bold.
    probe.face = web_face_open(reinterpret_cast<const char*>(u8"幼圆"), size[1] / 32, size[1] / 64, 1);
    web_window_open(size[0], size[1], debug);
    probe.run();
}
