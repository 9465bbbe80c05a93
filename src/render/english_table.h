// The English catalogue as compiled into the program: generated from po/en.po by tools/po_table.cpp.
#pragma once

#include <cstddef>

struct EnglishEntry {
    const char* gbk;     // the Chinese text as the program draws it
    const char* english; // plain ASCII
};

extern const EnglishEntry ENGLISH_TABLE[];
extern const size_t ENGLISH_TABLE_SIZE;
