// Enemy models as the "Enemy" page adds and names them: a model is known by
// its MD2 file name, and sounds by their file names, all without folders.
#pragma once

#include "document/line_list.h"

// The file name of a path: the text after its last "\" if it has one, else
// after its last "/", else the whole path.
const char* file_name_part(const char* path);

// Whether a text fits a record's text field (at most 255 characters).
bool fits_text_field(const char* text);

// Copies text into a record's text field when it fits; false, leaving the
// field alone, when it is too long (a shortened file name would name
// another file).
bool set_text_field(char* field, const char* text);

enum class ModelAdded { Added, Known, Full, TooLong };

// Adds a model named `name` as the next line of `lines` and the record of
// that number. Known when a record 0..n (n = lines) has that name already,
// Full when 63 models are listed, TooLong for a name of 256 characters or
// more; nothing changes then.
ModelAdded add_enemy_model(LineList& lines, const char* name);
