// The modal dialogs the editor shows. Everything goes through this seam so
// that tests can script the answers; the program itself uses FLTK's dialogs.
#pragma once

struct DialogSeam {
    int (*ask)(const char* message);   // 1 for yes, 0 for no
    void (*alert)(const char* message);
    // Returns the chosen path or null when cancelled.
    const char* (*file_chooser)(const char* title, const char* pattern, const char* start,
                                int relative);
};

// Replaces the dialogs (for tests); returns the previous set.
DialogSeam set_dialog_seam(const DialogSeam& seam);
// The real FLTK dialogs.
DialogSeam real_dialogs();

int dialog_ask(const char* format, ...) __attribute__((format(printf, 1, 2)));
void dialog_alert(const char* format, ...) __attribute__((format(printf, 1, 2)));
const char* dialog_file_chooser(const char* title, const char* pattern, const char* start,
                                int relative);
