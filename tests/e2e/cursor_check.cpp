// Writes a line, then puts the shown cursor on another cell without writing there, and waits until
// a signal ends it: the end-to-end test looks at where the terminal shows the cursor, and at the
// terminal once the program is gone.
#include "console/console.h"
#include "platform/platform.h"
#include "platform/terminal.h"

int main() {
    if (!platform::terminal::interactive()) return 2;
    platform::terminal::setTitle("Cursor Check");
    gotoxy(1, 1);
    platform::terminal::write("the cursor waits at row 5, column 7");
    gotoxy(5, 7);
    showCursor();
    for (;;) platform::sleepMs(100);
}
