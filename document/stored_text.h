// Texts that the level file stores on a line of their own ("key=text"): the
// song, the enemy model names, the sound names and the trigger types. A line
// break inside one would end its line early and make the rest of the text a
// line of its own, read as another key; so no such text may hold a control
// character, and a record's text field holds at most 255 characters.
#pragma once

#include "document/records.h"

#include <cstddef>
#include <string>

enum class TextFault { None, ControlCharacter, TooLong };

// Codes below 32 and 127.
bool is_control_character(char c);

// Why `text` cannot be stored, or None. A control character is named before
// the length; `longest` is the most characters the field holds.
TextFault stored_text_fault(const char* text, size_t longest = kTextCapacity - 1);

// How many characters of `text` come before its first control character:
// what the level writer writes of a value, so that whatever a record holds
// no value ever breaks its line.
size_t writable_length(const char* text);

// The alert for a refused text; `what` names it ("The sound's file name").
std::string stored_text_alert(TextFault fault, const char* what);

// A record's text field edited through an input field that reports every
// change, key by key or by pasting. A text with a control character is
// refused and the record keeps the text it had. A text over the length limit
// is never stored in part: the record goes back to the text it held when
// this run of edits began (so the first 255 characters of a name typed too
// long are not kept either); while one over-long text only grows further,
// only its first refusal asks for an alert. A run of edits is a series of
// changes through one input field to one record field; an edit through
// another field, or to another record, or `end_run` starts a new run.
class StoredTextEdits {
  public:
    struct Outcome {
        TextFault fault = TextFault::None;
        bool alert = false;  // a refusal the user has not been told of yet
    };
    // `source` names the input field; `field` is the record's text field.
    // After a refusal the input field is to show `field` again.
    Outcome edit(const void* source, char* field, const char* text);
    // The next edit starts a new run (the record was shown afresh).
    void end_run();

  private:
    const void* source_ = nullptr;
    const char* field_ = nullptr;
    std::string origin_;   // the record's text when the run began
    std::string refused_;  // the last text refused in this run
};
