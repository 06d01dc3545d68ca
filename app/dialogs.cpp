#include "app/dialogs.h"

#include <FL/Fl_File_Chooser.H>
#include <FL/fl_ask.H>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

int real_ask(const char* message) { return fl_choice("%s", "No", "Yes", nullptr, message); }
void real_alert(const char* message) { fl_alert("%s", message); }
const char* real_file_chooser(const char* title, const char* pattern, const char* start,
                              int relative) {
    return fl_file_chooser(title, pattern, start, relative);
}

DialogSeam current = {real_ask, real_alert, real_file_chooser};

std::string format_message(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n < 0) return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    std::vsnprintf(&text[0], text.size(), format, args);
    text.resize(static_cast<size_t>(n));
    return text;
}

}  // namespace

DialogSeam real_dialogs() { return {real_ask, real_alert, real_file_chooser}; }

DialogSeam set_dialog_seam(const DialogSeam& seam) {
    DialogSeam previous = current;
    current = seam;
    return previous;
}

int dialog_ask(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_message(format, args);
    va_end(args);
    return current.ask(text.c_str());
}

void dialog_alert(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = format_message(format, args);
    va_end(args);
    current.alert(text.c_str());
}

const char* dialog_file_chooser(const char* title, const char* pattern, const char* start,
                                int relative) {
    return current.file_chooser(title, pattern, start, relative);
}
