#include "app/status_row.h"

#include <FL/Fl_Box.H>

#include <cstdio>

Fl_Box* songStatus = nullptr;

void set_status(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!songStatus) return;
    songStatus->copy_label(text.c_str());
    songStatus->redraw();
}

void clear_status() {
    if (!songStatus) return;
    songStatus->copy_label("");
    songStatus->redraw();
}

void withdraw_status(const std::string& text) {
    if (songStatus && songStatus->label() && text == songStatus->label()) clear_status();
}
