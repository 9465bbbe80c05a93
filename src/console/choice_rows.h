// The launcher's rows that show a choice made before the game and switch it between its two
// values: the language (L) and the opponent (O). Each has a line of its own below the widgets (on
// the compact screen, the last two lines). Its key switches it once per press; a click (or a tap)
// on its line switches it as the toolkit's buttons act, with their pause after the click.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/console.h"

struct ChoiceOnARow {
    const char* caption; // the rich text before the name ("&7Language (L to change): ")
    int key;             // its letter
    std::function<std::string()> name; // the name of what is chosen now
    std::function<void()> next;        // switches to the other value
};

class ChoiceRows {
public:
    ChoiceRows(std::vector<ChoiceOnARow> choices, bool compact);
    ~ChoiceRows();
    // Polls every row's key, then the pointer once: a row switched shows its new name at once.
    void preserve();

private:
    struct Row;
    std::vector<std::unique_ptr<Row>> rows;
    int firstRow, col;

    void switchRow(Row& row);
};
