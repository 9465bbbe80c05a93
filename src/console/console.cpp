// The console toolkit over the terminal half of the platform seam.
#include "console/console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/terminal.h"

namespace term = platform::terminal;

namespace {

// The toolkit's contract holds in every build type: a failed check prints its condition and
// ends the program, as assert does, but NDEBUG does not switch it off.
[[noreturn]] void toolkitCheckFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", condition, file, line);
    std::fflush(stderr);
    std::abort();
}

#define TOOLKIT_ASSERT(condition) ((condition) ? (void)0 : toolkitCheckFailed(#condition, __FILE__, __LINE__))

// Whatever a drawing call wrote is on the terminal when it returns.
struct FlushAtEnd {
    ~FlushAtEnd() { term::flush(); }
};

void out(const std::string& bytes) { term::write(bytes); }

void spaces(int count) {
    if (count > 0) out(std::string((size_t)count, ' '));
}

std::string twoDecimals(double value) {
    int n = std::snprintf(nullptr, 0, "%.2lf", value);
    if (n <= 0) return "";
    std::string text((size_t)n + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.2lf", value);
    text.resize((size_t)n);
    return text;
}

int column() { return getxy().second; }

// Whole cells of the share, truncated, in integers: in double 22 x (15 / 22) comes out just under
// 15. A value outside 0..maxVal (or no sensible maximum) fills nothing or the whole bar, never
// more: the bar must not spill over its brackets or its neighbours.
int filledCells(int width, int value, int maxVal) {
    if (width <= 0) return 0;
    long long cells = maxVal != 0 ? (long long)width * value / maxVal : (value > 0 ? width : 0);
    return (int)std::clamp(cells, 0LL, (long long)width);
}

bool pointerOn(int row, int firstCol, int width) {
    POINT pt;
    getpos(pt);
    return pt.x == row && pt.y >= firstCol && pt.y < firstCol + width;
}

// The poll buttons and options share: draw, then 0 (pointer elsewhere or disabled), 1 (pointer
// over the widget's first row of width columns) or 2 (clicked: the action, then a pause).
template <class Clickable, class Action>
int pollClickable(Clickable& widget, Action onClick) {
    if (widget.visible) widget.print();
    if (!widget.enable) return 0;
    if (!pointerOn(widget.xpos, widget.ypos, widget.width)) {
        widget.isPress = false;
        return 0;
    }
    widget.isPress = true;
    if (!press(platform::VK_LBUTTON)) return 1;
    onClick();
    platform::sleepMs(SLEEP_TIME);
    return 2;
}

} // namespace

// ---- primitives ------------------------------------------------------------------------------

void showCursor() { term::setCursorVisible(true); }

void hideCursor() { term::setCursorVisible(false); }

void setColor(int colorID) { term::setAttribute(colorID & 0xFFFF); }

void clrscr() {
    setColor(15);
    term::clear();
}

int toHex(char c) { return c >= '0' && c <= '9' ? c - '0' : c - 87; }

void gotoxy(int x, int y) { term::moveTo(x, y); }

std::pair<int, int> getxy() {
    term::Cell c = term::cursor();
    return {c.row, c.col};
}

void setWindowSize(std::string name, int width, int height) {
    term::setTitle(name);
    term::setSize(width, height);
}

void getpos(POINT& pt) {
    term::Cell c = term::pointer();
    pt.x = c.row;
    pt.y = c.col;
}

// ---- rich text -------------------------------------------------------------------------------

RawText::RawText(std::string _text, std::vector<int> _numBuf, std::vector<std::string> _strBuf,
                 std::vector<double> _dblBuf)
    : text(std::move(_text)), numBuf(std::move(_numBuf)), strBuf(std::move(_strBuf)), dblBuf(std::move(_dblBuf)) {}

void RawText::print(int backColor) {
    FlushAtEnd flushed;
    auto [row, col] = getxy();
    int fore = 7, back = backColor;
    setColor(back * 16 + fore);
    size_t nextStr = 0, nextNum = 0, nextDbl = 0;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c != '/' && c != '&' && c != '#' && c != '%') {
            term::writeByte(c);
            ++i;
            continue;
        }
        // A marker with nothing after it writes nothing.
        if (i + 1 >= text.size()) break;
        char next = text[i + 1];
        i += 2;
        switch (c) {
        case '/':
            if (next == 'n') gotoxy(++row, col);
            else term::writeByte(next);
            break;
        case '&':
        case '#': {
            // A digit that is not lower-case hex names no colour: the colour stays.
            int value = toHex(next);
            if (value < 0 || value > 15) break;
            (c == '&' ? fore : back) = value;
            setColor(back * 16 + fore);
            break;
        }
        default: // '%': placeholders past the end of their buffer write nothing
            if (next == 's') {
                if (nextStr < strBuf.size()) out(strBuf[nextStr]);
                ++nextStr;
            } else if (next == 'd') {
                if (nextNum < numBuf.size()) out(std::to_string(numBuf[nextNum]));
                ++nextNum;
            } else if (next == 'f') {
                if (nextDbl < dblBuf.size()) out(twoDecimals(dblBuf[nextDbl]));
                ++nextDbl;
            }
            break;
        }
    }
    setColor(7);
}

RawText toRaw(std::string s) { return RawText(std::move(s), {}, {}, {}); }

void tellraw(RawText s) { s.print(0); }

void tellraw(std::string s) { toRaw(std::move(s)).print(0); }

// ---- widget tree -----------------------------------------------------------------------------

Object::Object() : id(OBJECT) {}

void Object::print() {}

void Object::build(int x, int y, Form* parent, OBJECT_TYPE kind) {
    xpos = x;
    ypos = y;
    visible = true;
    id = kind;
    attach(parent);
}

void Object::attach(Form* parent) {
    faObject = parent;
    if (!parent) return;
    parent->sonObjects.push_back(this);
    xpos += parent->xpos - 1;
    ypos += parent->ypos - 1;
}

int Object::drawCaption(RawText& caption) {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    gotoxy(xpos, ypos);
    caption.print(faObject->bgColor);
    return faObject->bgColor;
}

void Object::drawIfShown() {
    if (faObject && faObject->visible) print();
}

void Object::show() {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    visible = true;
    if (faObject->visible) print();
}

void Object::hide() {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    visible = false;
    faObject->print();
}

void Object::remove() {
    hide();
    enable = false;
}

Form::Form(int _xpos, int _ypos, int _height, int _width, Form* _faObject, int _bgColor)
    : width(_width), height(_height), bgColor(_bgColor) {
    build(_xpos, _ypos, _faObject, FORM);
    drawIfShown();
}

void Form::print() {
    FlushAtEnd flushed;
    setColor(bgColor * 16);
    for (int row = xpos; row < xpos + height; ++row) {
        gotoxy(row, ypos);
        spaces(width);
        out("\n");
    }
    for (Object* child : sonObjects)
        if (child->visible) child->print();
}

Button::Button(RawText _text, int _xpos, int _ypos, Form* _faObject, int _bgColor, int _bgPressColor)
    : width(0), bgColor(_bgColor), bgPressColor(_bgPressColor), isPress(false), text(std::move(_text)) {
    build(_xpos, _ypos, _faObject, BUTTON);
    enable = true;
    drawIfShown();
}

void Button::print() {
    int back = isPress ? bgPressColor : bgColor;
    if (!enable) back = 8;
    gotoxy(xpos, ypos);
    int start = column();
    text.print(back);
    width = column() - start;
}

int Button::preserve() {
    return pollClickable(*this, [] {});
}

Label::Label(RawText _text, int _xpos, int _ypos, Form* _faObject) : text(std::move(_text)) {
    build(_xpos, _ypos, _faObject, LABEL);
    drawIfShown();
}

void Label::print() { drawCaption(text); }

// ---- value and input widgets -----------------------------------------------------------------

Option::Option() { id = OPTION; }

Option::Option(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
               std::string _blockChar) {
    init(std::move(_text), _xpos, _ypos, _faObject, _tickColor, _tickChar, std::move(_blockChar), OPTION);
}

void Option::init(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
                  std::string _blockChar, OBJECT_TYPE kind) {
    text = std::move(_text);
    tickColor = _tickColor;
    tickChar = _tickChar;
    blockChar = std::move(_blockChar);
    enable = true;
    chosen = false;
    isPress = false;
    width = 0;
    build(_xpos, _ypos, _faObject, kind);
    drawIfShown();
}

void Option::print() {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    FlushAtEnd flushed;
    int back = faObject->bgColor;
    gotoxy(xpos, ypos);
    int start = column();
    // Brackets that were not given are left out.
    auto bracket = [&](size_t which) {
        if (which < blockChar.size()) term::writeByte(blockChar[which]);
    };
    char tick = chosen ? tickChar : ' ';
    if (enable) {
        setColor(back * 16 + 15);
        bracket(0);
        setColor(isPress ? tickColor * 16 : back * 16 + tickColor);
        term::writeByte(tick);
        setColor(back * 16 + 15);
        bracket(1);
    } else {
        setColor(back * 16 + 8);
        bracket(0);
        term::writeByte(tick);
        bracket(1);
    }
    text.print(back);
    width = column() - start;
}

void Option::set(int tp) {
    TOOLKIT_ASSERT(faObject!=nullptr);
    if ((tp == -1 && !chosen) || tp == 1) {
        for (Object* sibling : faObject->sonObjects) {
            if (sibling->id != OPTION) continue;
            sibling->chosen = false;
            if (sibling->visible) sibling->print();
        }
        chosen = true;
    } else {
        chosen = false;
    }
    print();
}

int Option::preserve() {
    return pollClickable(*this, [this] { set(-1); });
}

CheckBox::CheckBox(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
                   std::string _blockChar)
    : Option() {
    init(std::move(_text), _xpos, _ypos, _faObject, _tickColor, _tickChar, std::move(_blockChar), CHECKBOX);
}

void CheckBox::set(int tp) {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    chosen = (tp == -1 && !chosen) || tp == 1;
    print();
}

ProgressBar::ProgressBar(RawText _text, int _xpos, int _ypos, int _width, Form* _faObject, int* _value,
                         int _maxVal, int _barColor, int _style)
    : width(_width), barColor(_barColor), style(_style), maxVal(_maxVal), numLen(0), text(std::move(_text)),
      value(_value) {
    build(_xpos, _ypos, _faObject, PROGRESS_BAR);
    drawIfShown();
}

void ProgressBar::print() {
    FlushAtEnd flushed;
    int current = value ? *value : 0;
    int back = drawCaption(text);
    int filled = filledCells(width, current, maxVal);
    if (style & 1) {
        setColor(back * 16 + 15);
        out("[");
    }
    auto [barRow, barCol] = getxy();
    setColor(back * 16 + 7);
    spaces(width);
    if (style & 1) {
        setColor(back * 16 + 15);
        out("]");
    }
    if (style & 2) {
        auto [numRow, numCol] = getxy();
        setColor(back * 16 + 7);
        spaces(numLen);
        gotoxy(numRow, numCol);
        setColor(back * 16 + barColor);
        out(" " + std::to_string(current));
        setColor(back * 16 + 15);
        out("/" + std::to_string(maxVal));
        numLen = column() - numCol;
    }
    gotoxy(barRow, barCol);
    setColor(barColor * 16);
    spaces(filled);
}

void LabelVal::basicInit(RawText _text, int _xpos, int _ypos, Form* _faObject, int _valCol, int _maxVal) {
    text = std::move(_text);
    valCol = _valCol;
    maxVal = _maxVal;
    numLen = 0;
    build(_xpos, _ypos, _faObject, LABEL_VAL);
}

LabelVal::LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, int* _value, int _valCol, int _maxVal) {
    basicInit(std::move(_text), _xpos, _ypos, _faObject, _valCol, _maxVal);
    value = _value;
    dataType = _INT;
    print();
}

LabelVal::LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, double* _value, int _valCol,
                   int _maxVal) {
    basicInit(std::move(_text), _xpos, _ypos, _faObject, _valCol, _maxVal);
    value = _value;
    dataType = _DOUBLE;
    print();
}

LabelVal::LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, std::string* _value, int _valCol,
                   int _maxVal) {
    basicInit(std::move(_text), _xpos, _ypos, _faObject, _valCol, _maxVal);
    value = _value;
    dataType = _STRING;
    print();
}

void LabelVal::print() {
    FlushAtEnd flushed;
    int back = drawCaption(text);
    auto [row, col] = getxy();
    setColor(back * 16 + 7);
    spaces(numLen);
    gotoxy(row, col);
    setColor(back * 16 + valCol);
    if (value) {
        if (dataType == _INT) out(std::to_string(*static_cast<int*>(value)));
        else if (dataType == _DOUBLE) out(twoDecimals(*static_cast<double*>(value)));
        else out(*static_cast<std::string*>(value));
    }
    if (maxVal != -1) {
        setColor(back * 16 + 15);
        out("/" + std::to_string(maxVal));
    }
    numLen = column() - col;
}

List::List(RawText _text, int _xpos, int _ypos, int _width, Form* _faObject, std::vector<RawText>* _items,
           int _perPage, int _bgPressColor, std::string _pageFormat)
    : text(std::move(_text)), items(_items), perPage(_perPage), width(_width), isChosen(-1),
      bgPressColor(_bgPressColor), nowPage(1), pageFormat(std::move(_pageFormat)) {
    build(_xpos, _ypos, _faObject, LIST);
    enable = true;
    drawIfShown();
}

int List::pageCount() const {
    int rows = items ? (int)items->size() : 0;
    int per = perPage > 0 ? perPage : 1;
    return (rows - 1) / per + 1;
}

void List::currentPage(int& first, int& last) {
    int pages = pageCount();
    if (nowPage < 1) nowPage = 1;
    if (nowPage > pages) nowPage = pages;
    int rows = items ? (int)items->size() : 0;
    int per = perPage > 0 ? perPage : 1;
    first = (nowPage - 1) * per;
    last = rows - 1 < nowPage * per - 1 ? rows - 1 : nowPage * per - 1;
}

void List::print() {
    TOOLKIT_ASSERT(!(faObject==nullptr));
    FlushAtEnd flushed;
    int back = faObject->bgColor;
    gotoxy(xpos, ypos);
    text.print(0);
    int first = 0, last = -1;
    currentPage(first, last);
    RawText(pageFormat, {nowPage, pageCount()}, {}, {}).print(back);
    for (int index = first; index <= last; ++index) {
        int row = xpos + index - first + 1;
        int rowBack = index == isChosen ? bgPressColor : back;
        gotoxy(row, ypos);
        setColor(enable ? rowBack * 16 : 128);
        spaces(width);
        gotoxy(row, ypos);
        (*items)[(size_t)index].print(rowBack);
    }
}

int List::preserve() {
    if (!enable) return -1;
    POINT pt;
    getpos(pt);
    int first = 0, last = -1;
    currentPage(first, last);
    for (int index = first; index <= last; ++index) {
        int row = xpos + index - first + 1;
        if (pt.x == row && pt.y >= ypos && pt.y <= ypos + width - 1 && press(platform::VK_LBUTTON)) {
            isChosen = index;
            print();
            return index;
        }
    }
    return -1;
}

void List::nextPage() {
    ++nowPage;
    if (visible) {
        hide();
        show();
    }
}

void List::prevPage() {
    --nowPage;
    if (visible) {
        hide();
        show();
    }
}

InputBox::InputBox(RawText _text, int _xpos, int _ypos, int _width, int _position, Form* _faObject, int _textColor,
                   int _colorLoseFocus, char _pwdChar)
    : text(std::move(_text)), width(_width), position(_position), textColor(_textColor),
      colorLoseFocus(_colorLoseFocus), newx(0), newy(0), pwdChar(_pwdChar), hasFocus(false) {
    build(_xpos, _ypos, _faObject, INPUTBOX);
    enable = true;
    drawIfShown();
}

void InputBox::print() {
    FlushAtEnd flushed;
    drawCaption(text);
    if (position == 0) {
        newx = xpos;
        newy = column();
    } else {
        newx = xpos + 1;
        newy = ypos;
    }
    setColor(hasFocus && enable ? textColor : colorLoseFocus);
    gotoxy(newx, newy);
    spaces(width);
    gotoxy(newx, newy);
    if (pwdChar == ' ') out(nowText);
    else out(std::string(nowText.size(), pwdChar));
}

void InputBox::preserve() {
    if (!enable) return;
    if (press(platform::VK_LBUTTON)) {
        POINT pt;
        getpos(pt);
        bool focus = pt.x == newx && pt.y >= newy && pt.y <= newy + width - 1;
        if (focus != hasFocus) {
            hasFocus = focus;
            print();
        }
        return;
    }
    if (!hasFocus || !term::keyWaiting()) return;
    int key = term::readKey();
    if (key < 0) return;
    if (key == 8) {
        if (!nowText.empty()) nowText.pop_back();
    } else if (key != 10 && key != 13 && key != 9) {
        if ((int)nowText.size() < width) nowText += (char)key;
    }
    print();
}
