// The status row at the foot of the main window: one line that reports
// what the editor does in the background (the song, recovery files).
#pragma once

#include <string>

class Fl_Box;

extern Fl_Box* songStatus;

// Shows text in the status row (when there is one) and prints it on stderr.
void set_status(const std::string& text);
// Empties the status row without printing anything.
void clear_status();
// Empties the status row only while it still shows `text`, so one report
// never wipes another's.
void withdraw_status(const std::string& text);
