// Enemy models as the "Enemy" page adds and names them: a model is known by
// its MD2 file name, and sounds by their file names, all without folders.
#pragma once

#include "document/line_list.h"

// The file name of a path: the text after its last "\" if it has one, else
// after its last "/", else the whole path.
const char* file_name_part(const char* path);

enum class ModelAdded { Added, Known, Full, BadName };

// Adds a model named `name` as the next line of `lines` and the record of
// that number. Known when a record 0..n (n = lines) has that name already,
// Full when 63 models are listed, BadName for a name a level cannot hold
// (see stored_text_fault; a shortened file name would name another file);
// nothing changes then.
ModelAdded add_enemy_model(LineList& lines, const char* name);
