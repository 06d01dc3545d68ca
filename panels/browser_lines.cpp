#include "panels/browser_lines.h"

#include <FL/Fl_Browser.H>

int BrowserLineList::size() const { return browser_->size(); }
void BrowserLineList::add(const char* text) { browser_->add(text); }

void BrowserLineList::insert(int line, const char* text) {
    if (line >= 1 && line <= size() + 1) browser_->insert(line, text);
}

void BrowserLineList::remove(int line) {
    if (line >= 1 && line <= size()) browser_->remove(line);
}

void BrowserLineList::text(int line, const char* text) {
    if (line >= 1 && line <= size()) browser_->text(line, text);
}

void BrowserLineList::select(int line) {
    if (line >= 1 && line <= size()) browser_->value(line);
    else browser_->deselect();
}

std::string BrowserLineList::text_of(int line) const {
    const char* text = line >= 1 && line <= size() ? browser_->text(line) : nullptr;
    return text ? text : "";
}

int BrowserLineList::selected_line() const { return browser_->value(); }
