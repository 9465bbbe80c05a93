// How messages show what they report: sizes, and text that came from outside.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// A size for messages: "N MiB" (rounded) from a mebibyte up, "N bytes" below.
inline std::string byteCount(size_t bytes) {
    constexpr size_t MIB = size_t(1) << 20;
    return bytes < MIB ? std::to_string(bytes) + " bytes" : std::to_string((bytes + MIB / 2) / MIB) + " MiB";
}

// Text from outside (an argument, a line of a file) as a message shows it: in quotes, control
// bytes as '?', so that none reaches the terminal.
inline std::string quotedForMessage(std::string text) {
    for (char& c : text)
        if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
    return "'" + text + "'";
}

} // namespace platform
