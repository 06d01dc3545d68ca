// Where the preview looks for enemy models: a fixed list of folders relative
// to the working directory, tried in order, and the skin beside a model.
#pragma once

#include <string>

constexpr int kModelFolderCount = 7;
// "" (the name as it stands), "models/", "../models/", "../../models/",
// "vantrope/models/", "../vantrope/models/", "../../vantrope/models/".
extern const char* const kModelFolders[kModelFolderCount];

// Names shorter than this are never looked up.
constexpr size_t kModelNameMinLength = 5;

// The model path for folder `folder` (0..6): the folder followed by `name`.
// False, leaving `out` alone, when the path would be longer than 255
// characters or the folder number is out of range.
bool model_path(int folder, const char* name, std::string& out);

// The skin of a model: the path with everything from its last "." replaced
// by ".png"; a path without "." is returned unchanged.
std::string model_skin_path(const std::string& modelPath);
