// Colour text fields: "#" followed by hexadecimal digits, shown as "#%06x".
#pragma once

#include <cstdint>
#include <string>

// Reads "#" and at least one hexadecimal digit, stopping at the first other
// character; longer numbers keep their low 32 bits. False when the text does
// not start that way.
bool parse_colour_text(const char* text, uint32_t& value);

// The text a colour field shows for a packed colour word.
std::string format_colour_text(uint32_t value);
