// Gives a compiler that knows no character set but UTF-8 (clang) the GBK bytes GCC's
// -fexec-charset=GBK gives the program: the non-ASCII ordinary literals become \x escapes.
//
//   rewrite_literals <input> <output>
//       writes a copy of a C++ source or preprocessed file with its literals rewritten;
//   rewrite_literals --compile <compiler> <arguments...>
//       a compiler launcher: preprocesses the source the arguments name, rewrites the literals of
//       the preprocessed text and compiles that (any other command runs unchanged);
//   rewrite_literals --characters <sources...>
//       prints every character the sources' literals would convert, once, in UTF-8 (what a font
//       for the game's text must hold beyond ASCII).
//
// The literals are rewritten after preprocessing because that is where GCC converts them: the text
// a macro makes of its argument (#x) and literals from any header are converted as well, and
// diagnostics and __FILE__ keep naming the real sources through the preprocessor's line markers.
// On a literal that cannot be rewritten it prints <file>:<line>: <why>, writes nothing and fails.
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gbk_literals.h"
#include "platform/utf8.h"

extern char** environ;

namespace {

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return !in.bad();
}

// Written beside its place and renamed into it, so that a failed run leaves no half file behind.
bool writeFile(const std::string& path, const std::string& text) {
    std::string part = path + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    std::error_code ec;
    if (out) std::filesystem::rename(part, path, ec);
    if (!out || ec) std::filesystem::remove(part, ec);
    return out && !ec;
}

// Where line `line` of preprocessed text came from, after its last line marker (# 12 "file").
std::string placeOf(const std::string& text, const std::string& name, int line) {
    static const std::regex marker(R"(^[ \t]*#[ \t]*(?:line[ \t]+)?([0-9]+)[ \t]+"((?:[^"\\]|\\.)*)\".*)");
    std::istringstream in(text);
    std::string l, file = name;
    int presumed = line;
    std::smatch m;
    for (int n = 1; n < line && std::getline(in, l); ++n) {
        if (!std::regex_match(l, m, marker)) continue;
        file = m[2];
        presumed = std::stoi(m[1]) + (line - n - 1);
    }
    return file + ":" + std::to_string(presumed);
}

int rewriteFile(const std::string& input, const std::string& output) {
    std::string text;
    if (!readFile(input, text)) {
        std::cerr << input << ": cannot be read\n";
        return 1;
    }
    try {
        if (writeFile(output, gbk_literals::rewrite(text))) return 0;
        std::cerr << output << ": cannot be written\n";
    } catch (const gbk_literals::Error& e) {
        std::cerr << placeOf(text, input, e.line) << ": " << e.what() << "\n";
    }
    return 1;
}

int listCharacters(const std::vector<std::string>& sources) {
    std::set<char32_t> seen;
    auto record = [&](char32_t c) {
        seen.insert(c);
        return gbk_literals::gbkBytes(c);
    };
    for (const std::string& source : sources) {
        std::string text;
        if (!readFile(source, text)) {
            std::cerr << source << ": cannot be read\n";
            return 1;
        }
        try {
            gbk_literals::rewrite(text, record);
        } catch (const gbk_literals::Error& e) {
            std::cerr << placeOf(text, source, e.line) << ": " << e.what() << "\n";
            return 1;
        }
    }
    std::string out;
    for (char32_t c : seen) platform::appendUtf8(out, c);
    std::cout << out << "\n";
    return 0;
}

int run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::cerr << "rewrite_literals: cannot start " << args[0] << "\n";
        return 127;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool isSource(const std::string& a) {
    static const std::regex source(R"(.*\.(cpp|cc|cxx|c\+\+|C)$)");
    return a[0] != '-' && std::regex_match(a, source);
}

// One compiler command as two: the source preprocessed (with its dependency file, if asked for)
// into <object>.ii, then that file compiled once its literals are rewritten.
int compile(std::vector<std::string> args) {
    auto find = [&](const char* a) { return std::find(args.begin(), args.end(), a); };
    auto step = find("-c") != args.end() ? find("-c") : find("-S");
    auto out = find("-o");
    auto source = std::find_if(args.rbegin(), args.rend(), isSource);
    if (step == args.end() || out == args.end() || out + 1 == args.end() || source == args.rend())
        return run(args);
    std::string object = out[1], preprocessed = object + ".ii", rewritten = object + ".gbk.ii";

    std::vector<std::string> preprocess = args;
    preprocess[step - args.begin()] = "-E";
    preprocess[out - args.begin() + 1] = preprocessed;
    if (int status = run(preprocess)) return status;
    if (int status = rewriteFile(preprocessed, rewritten)) return status;
    std::error_code ec;
    std::filesystem::remove(preprocessed, ec);

    // The preprocessor's options have done their work (and clang would warn that they are unused).
    std::vector<std::string> build;
    static const std::vector<std::string> withValue = {"-MT", "-MF", "-MQ", "-I", "-isystem", "-iquote",
                                                       "-idirafter", "-D", "-U", "-include", "-imacros"};
    static const std::vector<std::string> alone = {"-MD", "-MMD", "-MP"};
    auto has = [](const std::vector<std::string>& list, const std::string& a) {
        return std::find(list.begin(), list.end(), a) != list.end();
    };
    auto joined = [](const std::string& a) {
        return a.size() > 2 && (a.compare(0, 2, "-I") == 0 || a.compare(0, 2, "-D") == 0 || a.compare(0, 2, "-U") == 0);
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (has(withValue, a))
            ++i;
        else if (!has(alone, a) && !joined(a))
            build.push_back(&a == &*source ? rewritten : a);
    }
    int status = run(build);
    std::filesystem::remove(rewritten, ec);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--compile") return compile({args.begin() + 1, args.end()});
    if (args.size() >= 2 && args[0] == "--characters") return listCharacters({args.begin() + 1, args.end()});
    if (args.size() == 2 && args[0][0] != '-') return rewriteFile(args[0], args[1]);
    std::cerr << "usage: rewrite_literals <input> <output>\n"
                 "       rewrite_literals --compile <compiler> <arguments...>\n"
                 "       rewrite_literals --characters <sources...>\n";
    return 2;
}
