// Keeps a recovery file of the level while it differs from the level file:
// written from a timer (every 30 seconds, or VANTROPE_AUTOSAVE_SECONDS), on
// Quit and when the main window is closed; offered back when the level is
// opened again. Failures go to the status row, never to a dialog.
#pragma once

class Fl_Widget;

// Starts the timer and the main window's close hook; the level the editor
// holds now (a new one) is the level without changes.
void start_autosave();
// Writes, or removes, the recovery file as the level's text asks.
void autosave_now();
// After a level file has been read: the level without changes, and the
// question whether to take its recovery file instead.
void recover_after_open();
// At start without a level: the offer of a new level's recovery file that an
// editor which has ended left behind.
void recover_new_level();
// After the level has been written to `path`: its recovery file goes, and
// the one held so far.
void autosave_after_save(const char* path);

// The main window's close control and Escape: the recovery file first, then
// the window closes as it always has.
void cb_rootWindow(Fl_Widget* window, void*);
