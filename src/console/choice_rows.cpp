#include "console/choice_rows.h"

namespace {

// Where the first row stands, the others below it: below Start on the full screen (rows 19 and 20
// are left free by every widget), on the last lines of the compact screen's twelve.
struct RowsPlace {
    int row, col;
};
constexpr RowsPlace FULL_PLACE = {19, 15}, COMPACT_PLACE = {11, 5};
constexpr int LINE_WIDTH = 31; // the longest caption and name
constexpr int NAME_COLOUR = 15;

const RowsPlace& placeOf(bool compact) { return compact ? COMPACT_PLACE : FULL_PLACE; }

} // namespace

struct ChoiceRows::Row {
    ChoiceOnARow choice;
    std::string name;
    Form line;
    LabelVal label;
    KeyPress key;

    Row(ChoiceOnARow c, int row, int col)
        : choice(std::move(c)), name(choice.name()), line(row, col, 1, LINE_WIDTH, nullptr, 0),
          label(toRaw(choice.caption), 1, 1, &line, &name, NAME_COLOUR, -1), key(choice.key) {}
};

ChoiceRows::ChoiceRows(std::vector<ChoiceOnARow> choices, bool compact)
    : firstRow(placeOf(compact).row), col(placeOf(compact).col) {
    for (ChoiceOnARow& choice : choices)
        rows.push_back(std::make_unique<Row>(std::move(choice), firstRow + (int)rows.size(), col));
}

ChoiceRows::~ChoiceRows() = default;

void ChoiceRows::switchRow(Row& row) {
    row.choice.next();
    row.name = row.choice.name();
    row.label.print();
}

void ChoiceRows::preserve() {
    for (auto& row : rows)
        if (row->key.fresh()) switchRow(*row);
    POINT at;
    getpos(at);
    int index = at.x - firstRow;
    if (index < 0 || index >= (int)rows.size() || at.y < col || at.y >= col + LINE_WIDTH) return;
    if (!press(platform::VK_LBUTTON)) return;
    switchRow(*rows[index]);
    platform::sleepMs(SLEEP_TIME);
}
