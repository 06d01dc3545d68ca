// A browser's lines as the document code works on them.
#pragma once

#include "document/line_list.h"

#include <string>

class Fl_Browser;

class BrowserLineList : public LineList {
public:
    explicit BrowserLineList(Fl_Browser* browser) : browser_(browser) {}
    int size() const override;
    void add(const char* text) override;
    void insert(int line, const char* text) override;
    void remove(int line) override;
    void text(int line, const char* text) override;
    void select(int line) override;
    std::string text_of(int line) const override;
    int selected_line() const override;

private:
    Fl_Browser* browser_;
};
