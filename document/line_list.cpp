#include "document/line_list.h"

void VectorLineList::insert(int line, const char* text) {
    if (line < 1 || line > size() + 1) return;
    lines.insert(lines.begin() + (line - 1), text);
    if (selected >= line) selected++;
}

void VectorLineList::remove(int line) {
    if (line < 1 || line > size()) return;
    lines.erase(lines.begin() + (line - 1));
    if (selected == line) selected = 0;
    else if (selected > line) selected--;
}

void VectorLineList::text(int line, const char* text) {
    if (line >= 1 && line <= size()) lines[line - 1] = text;
}

std::string VectorLineList::text_of(int line) const {
    return line >= 1 && line <= size() ? lines[line - 1] : std::string();
}
