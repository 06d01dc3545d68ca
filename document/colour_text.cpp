#include "document/colour_text.h"

#include <cstdio>

bool parse_colour_text(const char* text, uint32_t& value) {
    if (!text || text[0] != '#') return false;
    uint32_t v = 0;
    int digits = 0;
    for (const char* p = text + 1;; p++, digits++) {
        int d;
        if (*p >= '0' && *p <= '9') d = *p - '0';
        else if (*p >= 'a' && *p <= 'f') d = *p - 'a' + 10;
        else if (*p >= 'A' && *p <= 'F') d = *p - 'A' + 10;
        else break;
        v = (v << 4) | static_cast<uint32_t>(d);
    }
    if (digits == 0) return false;
    value = v;
    return true;
}

std::string format_colour_text(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", value);
    return text;
}
