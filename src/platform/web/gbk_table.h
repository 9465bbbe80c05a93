// The GBK table of the browser build (made by tools/gbk_table from the build machine's iconv): the
// code point of each byte from 0x80 and of each lead and trail byte pair, 0 where there is none.
#pragma once

#include <cstdint>

namespace platform::web {

constexpr int GBK_FIRST_LEAD = 0x81, GBK_LEADS = 0xFE - 0x81 + 1;
constexpr int GBK_FIRST_TRAIL = 0x40, GBK_TRAILS = 0xFE - 0x40 + 1;

extern const uint16_t GBK_SINGLE[128];
extern const uint16_t GBK_PAIRS[GBK_LEADS][GBK_TRAILS];

} // namespace platform::web
