// Rewrites the non-ASCII ordinary string and character literals of a C++ source file as \x escapes
// of their GBK bytes, leaving every other byte as it is. GCC turns such literals into GBK itself
// (-fexec-charset=GBK); clang cannot, so the browser build compiles rewritten copies instead.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace gbk_literals {

// The bytes of one character in the program's character set; empty when it has none there.
using Encoder = std::function<std::string(char32_t)>;

// GBK through iconv, the converter GCC itself uses for -fexec-charset.
std::string gbkBytes(char32_t c);

// A literal that cannot be rewritten: a character the character set lacks, or bytes that are no
// UTF-8. GCC refuses such a literal too, so the build must stop here rather than guess.
struct Error : std::runtime_error {
    int line;
    Error(int line, const std::string& what) : std::runtime_error(what), line(line) {}
};

// The rewritten source: the same lines (a literal that spanned lines is followed by as many line
// splices), the same tokens but for the literals' spelling.
std::string rewrite(std::string_view source, const Encoder& encode = gbkBytes);

} // namespace gbk_literals
