// Turns a gettext catalogue into the table the program looks English up in, so that no file is read
// at run time:
//
//   po_table <catalogue.po> <table.cpp>
//
// Keys are the msgid converted to GBK (the game's text as it draws it), written as \x escapes so
// that the bytes do not depend on the compiler's execution character set; values are the msgstr,
// which must be plain ASCII. Untranslated and fuzzy entries are left out, as msgfmt leaves them out.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

struct Message {
    std::string id, str;
    bool fuzzy = false;
    int line = 0; // where its msgid starts
};

struct Failure {
    int line;
    std::string what;
};

// The text of one quoted PO string, escapes resolved.
std::string unquote(const std::string& quoted, int line) {
    size_t first = quoted.find('"'), last = quoted.rfind('"');
    if (first == std::string::npos || last == first || quoted.find_first_not_of(" \t", last + 1) != std::string::npos)
        throw Failure{line, "a string must be written in double quotes"};
    std::string out;
    for (size_t i = first + 1; i < last; ++i) {
        char c = quoted[i];
        if (c == '"') throw Failure{line, "a double quote inside a string must be escaped"};
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i >= last) throw Failure{line, "a string ends with a lone backslash"};
        switch (quoted[i]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default: throw Failure{line, std::string("unknown escape \\") + quoted[i]};
        }
    }
    return out;
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::vector<Message> parse(std::istream& in) {
    std::vector<Message> messages;
    Message current;
    std::string* open = nullptr; // the string continuation lines add to
    bool fuzzyNext = false;
    std::string text;
    auto finish = [&] {
        if (current.line) messages.push_back(current);
        current = Message{};
        open = nullptr;
    };
    for (int line = 1; std::getline(in, text); ++line) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos) {
            finish();
            continue;
        }
        std::string body = text.substr(start);
        if (startsWith(body, "#")) {
            if (startsWith(body, "#,") && body.find("fuzzy") != std::string::npos) fuzzyNext = true;
            continue;
        }
        if (startsWith(body, "\"")) {
            if (!open) throw Failure{line, "a string continues no msgid or msgstr"};
            *open += unquote(body, line);
        } else if (startsWith(body, "msgid ")) {
            finish();
            current.line = line;
            current.fuzzy = fuzzyNext;
            fuzzyNext = false;
            current.id = unquote(body.substr(6), line);
            open = &current.id;
        } else if (startsWith(body, "msgstr ")) {
            if (!current.line || open != &current.id) throw Failure{line, "a msgstr without its msgid"};
            current.str = unquote(body.substr(7), line);
            open = &current.str;
        } else {
            // Contexts and plural forms have no use here: every text is drawn as it is.
            throw Failure{line, "only msgid and msgstr are understood: " + body};
        }
    }
    finish();
    return messages;
}

bool plainAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80 || (c < 0x20 && c != '\n')) return false;
    return true;
}

// A C string literal of the bytes: printable ASCII as it is, everything else as \x escapes. A hex
// digit right after an escape would be read as part of it, so the literal is split there.
std::string literal(const std::string& bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    bool afterEscape = false;
    for (unsigned char c : bytes) {
        bool printable = c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?';
        if (printable) {
            if (afterEscape && std::isxdigit(c)) out += "\" \"";
            out += (char)c;
            afterEscape = false;
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
            afterEscape = true;
        }
    }
    return out + "\"";
}

std::string table(const std::vector<Message>& messages, const std::string& source) {
    std::ostringstream out;
    std::string name = source.substr(source.find_last_of("/\\") + 1);
    out << "// Generated from " << name << " by po_table: edit the catalogue, not this file.\n"
        << "#include \"render/english_table.h\"\n\n"
        << "const EnglishEntry ENGLISH_TABLE[] = {\n";
    size_t n = 0;
    std::vector<std::string> keys;
    for (const Message& m : messages) {
        if (m.id.empty() || m.str.empty() || m.fuzzy) continue; // the header; untranslated
        std::string gbk = platform::utf8ToGbk(m.id);
        if (platform::gbkToUtf8(gbk) != m.id) throw Failure{m.line, "the msgid has a character GBK lacks"};
        if (!plainAscii(m.str))
            throw Failure{m.line, "the msgstr must be plain ASCII: the window draws it as game text"};
        for (const std::string& k : keys)
            if (k == gbk) throw Failure{m.line, "the msgid is given twice"};
        keys.push_back(gbk);
        out << "    {" << literal(gbk) << ", " << literal(m.str) << "},\n";
        ++n;
    }
    if (n == 0) out << "    {\"\", \"\"},\n"; // an array may not be empty; the empty text is its own
    out << "};\n\nconst size_t ENGLISH_TABLE_SIZE = " << n << ";\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <catalogue.po> <table.cpp>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "po_table: cannot read %s\n", argv[1]);
        return 1;
    }
    std::string generated;
    try {
        generated = table(parse(in), argv[1]);
    } catch (const Failure& f) {
        std::fprintf(stderr, "%s:%d: %s\n", argv[1], f.line, f.what.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << generated;
    out.close();
    if (!out) {
        std::fprintf(stderr, "po_table: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
