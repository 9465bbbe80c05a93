#include "gbk_literals.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/utf8.h"

namespace gbk_literals {

std::string gbkBytes(char32_t c) {
    std::string in;
    platform::appendUtf8(in, c);
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == (iconv_t)-1) return "";
    char out[8];
    char* src = in.data();
    char* dst = out;
    size_t srcLeft = in.size(), dstLeft = sizeof out;
    bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != (size_t)-1 && srcLeft == 0;
    iconv_close(cd);
    return ok ? std::string(out, dst - out) : "";
}

namespace {

bool isIdentifierStart(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isIdentifierChar(int c) { return isIdentifierStart(c) || isDigit(c); }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isOctalDigit(int c) { return c >= '0' && c <= '7'; }
bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The source as the compiler reads it once spliced lines are joined. Positions stay those of the
// written text, so whatever is not rewritten is copied exactly as it was written.
class Text {
public:
    explicit Text(std::string_view s) : s_(s) {}

    size_t size() const { return s_.size(); }
    std::string_view raw(size_t from, size_t to) const { return s_.substr(from, to - from); }
    char rawAt(size_t i) const { return s_[i]; }

    // The first position at or after `i` that does not start a line splice. Blanks between the
    // backslash and the newline still make a splice, as GCC reads it.
    size_t skip(size_t i) const {
        while (i < s_.size() && s_[i] == '\\') {
            size_t j = i + 1;
            while (j < s_.size() && isBlank(s_[j])) ++j;
            if (j >= s_.size() || s_[j] != '\n') break;
            i = j + 1;
        }
        return i;
    }
    // The character at `i` (-1 at the end).
    int at(size_t i) const {
        i = skip(i);
        return i < s_.size() ? (unsigned char)s_[i] : -1;
    }
    size_t next(size_t i) const { return skip(skip(i) + 1); }

    // What the compiler sees from `from` to `to`: the text without its splices.
    std::string joined(size_t from, size_t to) const {
        std::string out;
        for (size_t i = skip(from); i < to; i = skip(i + 1)) out += s_[i];
        return out;
    }
    int lineOf(size_t i) const {
        int line = 1;
        for (size_t k = 0; k < i && k < s_.size(); ++k) line += s_[k] == '\n';
        return line;
    }

private:
    std::string_view s_;
};

struct Literal {
    std::string prefix; // u8, u, U, L, R, u8R, uR, UR, LR or nothing
    char quote = '"';
    size_t bodyBegin = 0, bodyEnd = 0;
    std::string suffix; // a user-defined literal's suffix

    bool raw() const { return !prefix.empty() && prefix.back() == 'R'; }
    // Only ordinary literals take the execution character set; the others are UTF-8, -16 or -32
    // whatever the compiler is told.
    bool ordinary() const { return prefix.empty() || prefix == "R"; }
};

struct Token {
    enum Kind { Blank, Newline, Quoted, Other } kind;
    size_t begin, end;
    bool inDirective;
    Literal literal;
};

bool isEncodingPrefix(const std::string& s) { return s == "u8" || s == "u" || s == "U" || s == "L"; }
bool isRawPrefix(const std::string& s) {
    return s == "R" || s == "u8R" || s == "uR" || s == "UR" || s == "LR";
}

// Splits a source into tokens: enough of a preprocessor's lexer to know where every literal,
// comment and header name begins and ends.
class Lexer {
public:
    explicit Lexer(const Text& text) : t_(text) {}

    std::vector<Token> tokens() {
        size_t p = t_.skip(0);
        while (p < t_.size()) p = token(p);
        return std::move(tokens_);
    }

private:
    const Text& t_;
    std::vector<Token> tokens_;
    bool lineStart_ = true, inDirective_ = false;
    bool headerNameNext_ = false;

    size_t add(Token::Kind kind, size_t begin, size_t end, Literal literal = {}) {
        tokens_.push_back({kind, begin, end, inDirective_, std::move(literal)});
        return end;
    }
    // The end of the logical line that `p` is on: its newline, or the end of the text.
    size_t lineEnd(size_t p) const {
        while (t_.at(p) != '\n' && t_.at(p) != -1) p = t_.next(p);
        return t_.skip(p);
    }

    size_t token(size_t p) {
        int c = t_.at(p), c1 = t_.at(t_.next(p));
        if (c == '\n') {
            size_t end = add(Token::Newline, p, t_.skip(p + 1)); // still the directive's, if any
            lineStart_ = true;
            inDirective_ = false;
            headerNameNext_ = false;
            return end;
        }
        if (isBlank(c)) {
            size_t begin = p;
            while (isBlank(t_.at(p))) p = t_.next(p);
            return add(Token::Blank, begin, p);
        }
        if (c == '/' && (c1 == '/' || c1 == '*')) return comment(p, c1 == '*');
        bool wasLineStart = lineStart_;
        lineStart_ = false;
        if (c == '#' && wasLineStart) return directive(p);
        bool headerName = headerNameNext_;
        headerNameNext_ = false;
        if (headerName && (c == '<' || c == '"')) return this->headerName(p, c == '<' ? '>' : '"');
        if (isIdentifierStart(c)) return identifier(p);
        if (isDigit(c) || (c == '.' && isDigit(c1))) return number(p);
        if (c == '"' || c == '\'') return literal(p, p, "");
        return add(Token::Other, p, t_.next(p));
    }

    // What follows a # that starts a line. Only #define and the conditions hold literals that
    // reach the program; a line marker (# 12 "file", #line) names a file, a diagnostic or pragma
    // holds text for the compiler, and an include a header name: those are left as they are.
    size_t directive(size_t p) {
        size_t q = t_.next(p);
        while (isBlank(t_.at(q))) q = t_.next(q);
        size_t nameEnd = q;
        while (isIdentifierChar(t_.at(nameEnd))) nameEnd = t_.next(nameEnd);
        std::string name = t_.joined(q, nameEnd);
        if (isDigit(t_.at(q)) || name == "line") return add(Token::Blank, p, lineEnd(p)); // not there to a compiler
        inDirective_ = true;
        static const std::string_view asWritten[] = {"error", "warning", "pragma", "ident", "sccs"};
        for (std::string_view d : asWritten)
            if (name == d) return add(Token::Other, p, lineEnd(p));
        headerNameNext_ = name == "include" || name == "include_next" || name == "import";
        return add(Token::Other, p, nameEnd);
    }

    size_t comment(size_t p, bool block) {
        size_t begin = p;
        if (!block) return add(Token::Blank, begin, lineEnd(p));
        p = t_.next(t_.next(p));
        while (t_.at(p) != -1 && !(t_.at(p) == '*' && t_.at(t_.next(p)) == '/')) p = t_.next(p);
        if (t_.at(p) != -1) p = t_.next(t_.next(p));
        return add(Token::Blank, begin, p);
    }

    // A header name holds no escapes and is no literal: it names a file, byte for byte.
    size_t headerName(size_t p, char close) {
        size_t begin = p;
        for (p = t_.next(p); t_.at(p) != close && t_.at(p) != '\n' && t_.at(p) != -1;) p = t_.next(p);
        if (t_.at(p) == close) p = t_.next(p);
        return add(Token::Other, begin, p);
    }

    size_t identifier(size_t p) {
        size_t begin = p;
        while (isIdentifierChar(t_.at(p))) p = t_.next(p);
        std::string name = t_.joined(begin, p);
        int c = t_.at(p);
        if ((isEncodingPrefix(name) && (c == '"' || c == '\'')) || (isRawPrefix(name) && c == '"'))
            return literal(begin, t_.skip(p), name);
        return add(Token::Other, begin, p);
    }

    // A preprocessing number, so that a digit separator (1'000) is not taken for a literal.
    size_t number(size_t p) {
        size_t begin = p;
        for (;;) {
            int c = t_.at(p), c1 = t_.at(t_.next(p));
            if ((c == 'e' || c == 'E' || c == 'p' || c == 'P') && (c1 == '+' || c1 == '-'))
                p = t_.next(t_.next(p));
            else if (isIdentifierChar(c) || c == '.')
                p = t_.next(p);
            else if (c == '\'' && isIdentifierChar(c1))
                p = t_.next(t_.next(p));
            else
                break;
        }
        return add(Token::Other, begin, p);
    }

    // From `begin` (the prefix) and `quote` (its opening quote). What does not close on its line is
    // no literal: like GCC, take the rest of the line as one token and leave it alone.
    size_t literal(size_t begin, size_t quote, const std::string& prefix) {
        Literal lit;
        lit.prefix = prefix;
        lit.quote = t_.rawAt(quote);
        size_t close = lit.raw() ? rawBody(quote, lit) : body(quote, lit);
        if (close == std::string::npos) return add(Token::Other, begin, lit.raw() ? t_.size() : lineEnd(quote));
        size_t p = t_.skip(close + 1), suffixBegin = p;
        while (isIdentifierChar(t_.at(p))) p = t_.next(p);
        lit.suffix = t_.joined(suffixBegin, p);
        return add(Token::Quoted, begin, p, std::move(lit));
    }

    size_t body(size_t quote, Literal& lit) {
        size_t p = t_.next(quote);
        lit.bodyBegin = p;
        for (int c = t_.at(p); c != lit.quote; c = t_.at(p)) {
            if (c == '\n' || c == -1) return std::string::npos;
            if (c == '\\') p = t_.next(p);
            if (t_.at(p) == '\n' || t_.at(p) == -1) return std::string::npos;
            p = t_.next(p);
        }
        lit.bodyEnd = t_.skip(p);
        return lit.bodyEnd;
    }

    // R"delimiter( ... )delimiter": line splices inside are part of the text, not joined.
    size_t rawBody(size_t quote, Literal& lit) {
        static constexpr std::string_view notInDelimiter = " ()\\\t\v\f\n\r\"";
        size_t open = quote + 1;
        while (open < t_.size() && open - quote <= 17 && notInDelimiter.find(t_.rawAt(open)) == notInDelimiter.npos)
            ++open;
        if (open >= t_.size() || t_.rawAt(open) != '(' || open - quote > 17) return std::string::npos;
        std::string closing = ")" + std::string(t_.raw(quote + 1, open)) + "\"";
        size_t end = std::string_view(t_.raw(open + 1, t_.size())).find(closing);
        if (end == std::string_view::npos) return std::string::npos;
        lit.bodyBegin = open + 1;
        lit.bodyEnd = open + 1 + end;
        return lit.bodyEnd + closing.size() - 1;
    }
};

// Writes a literal's text back as ASCII, each converted character as \x escapes of its bytes.
class LiteralWriter {
public:
    explicit LiteralWriter(char quote) : quote_(quote), out_(1, quote) {}

    // A character that stays as written.
    void plain(char c) {
        if (afterHex_ && isHexDigit((unsigned char)c)) {
            // It would be read as one more digit of the escape before it: written as an escape
            // itself. An octal one in a string, whose three digits end it whatever follows (no
            // split into two literals, which compilers warn about in a list); a character literal
            // holds few bytes and takes another hex escape.
            if (quote_ != '"') return hex(c);
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\%03o", (unsigned char)c);
            out_ += buf;
            afterHex_ = false;
            return;
        }
        out_ += c;
        afterHex_ = false;
    }
    void escape(std::string_view spelling) {
        out_ += spelling;
        afterHex_ = spelling.size() > 1 && spelling[1] == 'x';
    }
    void hex(unsigned char byte) {
        char buf[5];
        std::snprintf(buf, sizeof buf, "\\x%02X", byte);
        out_ += buf;
        afterHex_ = true;
    }
    std::string finish() { return out_ + quote_; }

private:
    char quote_;
    std::string out_;
    bool afterHex_ = false;
};

class Rewriter {
public:
    Rewriter(const Text& text, const Encoder& encode) : t_(text), encode_(encode) {}

    // The literal's new spelling, or nothing when it has no character to convert.
    std::string literal(const Token& token) {
        const Literal& lit = token.literal;
        at_ = token.begin;
        converted_ = false;
        LiteralWriter w(lit.quote);
        std::string body = lit.raw() ? rawText(lit) : t_.joined(lit.bodyBegin, lit.bodyEnd);
        for (size_t i = 0; i < body.size();) i = lit.raw() ? rawChar(body, i, w) : escapedChar(body, i, w);
        if (!converted_) return "";
        std::string out = w.finish() + lit.suffix;
        // The same number of lines as before, so that line numbers stay true.
        for (char c : t_.raw(token.begin, token.end))
            if (c == '\n') out += "\\\n";
        return out;
    }

private:
    const Text& t_;
    const Encoder& encode_;
    size_t at_ = 0; // where the literal being rewritten starts
    bool converted_ = false;

    // A raw literal's text, with its line ends as the compiler reads them.
    std::string rawText(const Literal& lit) const {
        std::string out;
        for (size_t i = lit.bodyBegin; i < lit.bodyEnd; ++i)
            if (!(t_.rawAt(i) == '\r' && i + 1 < lit.bodyEnd && t_.rawAt(i + 1) == '\n')) out += t_.rawAt(i);
        return out;
    }

    void convert(char32_t c, LiteralWriter& w) {
        std::string bytes = encode_(c);
        if (bytes.empty()) {
            char name[16];
            std::snprintf(name, sizeof name, "U+%04X", (unsigned)c);
            throw Error(t_.lineOf(at_), std::string("a literal holds ") + name + ", which GBK does not have");
        }
        for (unsigned char b : bytes) w.hex(b);
        converted_ = true;
    }

    // One UTF-8 character from `i`; returns the position after it.
    size_t character(const std::string& s, size_t i, LiteralWriter& w) {
        size_t start = i;
        char32_t c = platform::nextUtf8(s, i);
        if (c == platform::REPLACEMENT_CHARACTER && s.compare(start, i - start, "\xEF\xBF\xBD") != 0)
            throw Error(t_.lineOf(at_), "a literal holds bytes that are no UTF-8");
        convert(c, w);
        return i;
    }

    size_t rawChar(const std::string& s, size_t i, LiteralWriter& w) {
        unsigned char c = s[i];
        if (c >= 0x80) return character(s, i, w);
        static constexpr std::string_view escaped = "\\\"\n";
        static constexpr std::string_view escapes[] = {"\\\\", "\\\"", "\\n"};
        if (size_t k = escaped.find((char)c); k != escaped.npos)
            w.escape(escapes[k]);
        else if (c < 0x20 && c != '\t')
            w.hex(c);
        else
            w.plain((char)c);
        return i + 1;
    }

    size_t escapedChar(const std::string& s, size_t i, LiteralWriter& w) {
        unsigned char c = s[i];
        if (c >= 0x80) return character(s, i, w);
        if (c != '\\' || i + 1 >= s.size()) {
            w.plain((char)c);
            return i + 1;
        }
        size_t end = escapeEnd(s, i);
        char kind = s[i + 1];
        if ((kind == 'u' || kind == 'U') && end - i == (kind == 'u' ? 6u : 10u)) {
            // A universal character name: a character like any other.
            convert((char32_t)std::stoul(s.substr(i + 2, end - i - 2), nullptr, 16), w);
        } else {
            w.escape(std::string_view(s).substr(i, end - i));
        }
        return end;
    }

    // The end of the escape sequence at `i` (a backslash).
    static size_t escapeEnd(const std::string& s, size_t i) {
        char kind = s[i + 1];
        size_t j = i + 2, most = s.size();
        bool (*digit)(int) = nullptr;
        if (kind == 'x') digit = isHexDigit;
        if (kind == 'u' || kind == 'U') {
            digit = isHexDigit;
            most = std::min(s.size(), j + (kind == 'u' ? 4 : 8));
        }
        if (isOctalDigit(kind)) {
            digit = isOctalDigit;
            most = std::min(s.size(), i + 4);
        }
        while (digit && j < most && digit((unsigned char)s[j])) ++j;
        return j;
    }
};

// Adjacent string literals make one: where one of them names an encoding, the others take it
// too ("a" u8"b" is UTF-8 throughout), so none of them is converted.
void markTypedRuns(std::vector<Token>& tokens, std::vector<bool>& convertible) {
    for (size_t i = 0; i < tokens.size();) {
        if (tokens[i].kind != Token::Quoted || tokens[i].literal.quote != '"') {
            convertible[i] = tokens[i].kind == Token::Quoted && tokens[i].literal.prefix.empty();
            ++i;
            continue;
        }
        size_t j = i;
        bool typed = false;
        std::vector<size_t> run;
        for (; j < tokens.size(); ++j) {
            const Token& t = tokens[j];
            if (t.kind == Token::Quoted && t.literal.quote == '"') {
                run.push_back(j);
                typed = typed || !t.literal.ordinary();
            } else if (!(t.kind == Token::Blank || (t.kind == Token::Newline && !t.inDirective))) {
                break;
            }
        }
        for (size_t k : run) convertible[k] = !typed && tokens[k].literal.ordinary();
        i = j;
    }
}

} // namespace

std::string rewrite(std::string_view source, const Encoder& encode) {
    Text text(source);
    std::vector<Token> tokens = Lexer(text).tokens();
    std::vector<bool> convertible(tokens.size(), false);
    markTypedRuns(tokens, convertible);
    Rewriter rewriter(text, encode);
    std::string out;
    out.reserve(source.size() + source.size() / 4);
    size_t copied = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!convertible[i]) continue;
        std::string spelling = rewriter.literal(tokens[i]);
        if (spelling.empty()) continue;
        out += text.raw(copied, tokens[i].begin);
        out += spelling;
        copied = tokens[i].end;
    }
    out += text.raw(copied, text.size());
    return out;
}

} // namespace gbk_literals
