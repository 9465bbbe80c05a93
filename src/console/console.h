// The console toolkit: primitives over the text console, the "&" rich text, and the widgets the
// launcher is built from (forms, buttons, labels, options, check boxes, progress bars, value
// labels, paged lists, input boxes). Cells are (row, column) from 1; the first coordinate, x, is
// the row. A colour attribute is background * 16 + foreground.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/input_names.h"


// The pause after a click on a button or an option, in milliseconds.
constexpr int SLEEP_TIME = 125;

// ---- primitives ----
void showCursor();
void hideCursor();
void setColor(int colorID);
void clrscr();
int toHex(char c);
void gotoxy(int x, int y);
std::pair<int, int> getxy();
void setWindowSize(std::string name, int width, int height);
// The pointer as a console cell: pt.x is the row, pt.y the column.
void getpos(POINT& pt);

// A key that acts once per press, however long it is held: true on the first poll that finds it
// down after one that did not.
class KeyPress {
public:
    explicit KeyPress(int vk) : vk(vk) {}
    bool fresh() {
        bool down = press(vk), first = down && !before;
        before = down;
        return first;
    }

private:
    int vk;
    bool before = false;
};

// ---- rich text ----
// Markup: "/n" breaks the line back to the start column, "/" before any other character writes
// it literally, "&h" sets the foreground and "#h" the background to hex digit h (lower case),
// "%s", "%d", "%f" take the next argument of their kind; any other "%x" writes nothing.
struct RawText {
    std::string text;
    std::vector<int> numBuf;
    std::vector<std::string> strBuf;
    std::vector<double> dblBuf;

    RawText() = default;
    RawText(std::string _text, std::vector<int> _numBuf, std::vector<std::string> _strBuf,
            std::vector<double> _dblBuf);
    void print(int backColor);
};

RawText toRaw(std::string s);
void tellraw(RawText s);
void tellraw(std::string s);

// ---- widgets ----
enum OBJECT_TYPE : unsigned {
    OBJECT = 0,
    FORM = 1,
    BUTTON = 2,
    LABEL = 3,
    OPTION = 4,
    CHECKBOX = 5,
    PROGRESS_BAR = 6,
    LABEL_VAL = 7,
    LIST = 8,
    INPUTBOX = 9,
};

class Form;

// Widgets are owned by the caller; a form only points to its children. Children go before
// their form, and a form is not drawn once one of its children is gone.
class Object {
public:
    bool visible = false;
    bool chosen = false;
    bool enable = false;
    int xpos = 0;
    int ypos = 0;
    Form* faObject = nullptr;
    OBJECT_TYPE id;

    Object();
    virtual void print();
    void show();
    void hide();
    void remove();

protected:
    // The first construction steps of every widget: visible, of its kind, attached to its form.
    void build(int x, int y, Form* parent, OBJECT_TYPE kind);
    // Records the parent and turns the position relative to it into an absolute one.
    void attach(Form* parent);
    // Draws the new widget at once when its form is on show.
    void drawIfShown();
    // Draws a caption at the widget's cell on its form's background, and gives that background.
    int drawCaption(RawText& caption);
};

class Form : public Object {
public:
    int width;
    int height;
    int bgColor;
    std::vector<Object*> sonObjects;

    Form(int _xpos, int _ypos, int _height, int _width, Form* _faObject, int _bgColor);
    void print() override;
};

class Button : public Object {
public:
    int width;
    int bgColor;
    int bgPressColor;
    bool isPress;
    RawText text;

    Button(RawText _text, int _xpos, int _ypos, Form* _faObject, int _bgColor, int _bgPressColor);
    void print() override;
    // 0: pointer elsewhere (or disabled), 1: pointer over it, 2: clicked.
    int preserve();
};

class Label final : public Object {
public:
    RawText text;

    Label(RawText _text, int _xpos, int _ypos, Form* _faObject);
    void print() override;
};

class Option : public Object {
public:
    int tickColor = 0;
    int width = 0;
    RawText text;
    bool isPress = false;
    char tickChar = ' ';
    std::string blockChar;

    Option();
    Option(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
           std::string _blockChar);
    void print() override;
    // -1 toggles, 1 turns on, anything else turns off; choosing an option clears the others of
    // its form.
    virtual void set(int tp);
    int preserve();

protected:
    void init(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
              std::string _blockChar, OBJECT_TYPE kind);
};

class CheckBox : public Option {
public:
    CheckBox(RawText _text, int _xpos, int _ypos, Form* _faObject, int _tickColor, char _tickChar,
             std::string _blockChar);
    void set(int tp) override;
};

class ProgressBar : public Object {
public:
    int width;
    int barColor;
    int style; // 1: brackets, 2: value and maximum after the bar
    int maxVal;
    int numLen;
    RawText text;
    int* value;

    ProgressBar(RawText _text, int _xpos, int _ypos, int _width, Form* _faObject, int* _value, int _maxVal,
                int _barColor, int _style);
    void print() override;
};

enum DATA_TYPE {
    _INT = 0,
    _DOUBLE = 1,
    _STRING = 2,
};

class LabelVal : public Object {
public:
    RawText text;
    void* value = nullptr;
    int maxVal = -1; // -1: no maximum shown
    DATA_TYPE dataType = _INT;
    int valCol = 7;
    int numLen = 0;

    LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, int* _value, int _valCol, int _maxVal);
    LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, double* _value, int _valCol, int _maxVal);
    LabelVal(RawText _text, int _xpos, int _ypos, Form* _faObject, std::string* _value, int _valCol, int _maxVal);
    void print() override;

private:
    void basicInit(RawText _text, int _xpos, int _ypos, Form* _faObject, int _valCol, int _maxVal);
};

class List : public Object {
public:
    RawText text;
    std::vector<RawText>* items;
    int perPage;
    int width;
    int isChosen; // -1 until the owner or a click chooses a row
    int bgPressColor;
    int nowPage;
    std::string pageFormat;

    List(RawText _text, int _xpos, int _ypos, int _width, Form* _faObject, std::vector<RawText>* _items,
         int _perPage, int _bgPressColor, std::string _pageFormat);
    void print() override;
    // The index in items of a row clicked now, else -1.
    int preserve();
    void nextPage();
    void prevPage();

private:
    int pageCount() const;
    // Keeps nowPage within the pages; gives the first and last index shown.
    void currentPage(int& first, int& last);
};

class InputBox : public Object {
public:
    RawText text;
    int width;
    int position; // 0: the field follows the caption; otherwise it starts on the next row
    int textColor;
    int colorLoseFocus;
    int newx;
    int newy;
    std::string nowText;
    char pwdChar; // ' ' shows the text
    bool hasFocus;

    InputBox(RawText _text, int _xpos, int _ypos, int _width, int _position, Form* _faObject, int _textColor,
             int _colorLoseFocus, char _pwdChar);
    void print() override;
    void preserve();
};
