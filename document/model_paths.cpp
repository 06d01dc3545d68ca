#include "document/model_paths.h"

#include "document/records.h"

#include <cstring>

const char* const kModelFolders[kModelFolderCount] = {
    "",
    "models/",
    "../models/",
    "../../models/",
    "vantrope/models/",
    "../vantrope/models/",
    "../../vantrope/models/",
};

bool model_path(int folder, const char* name, std::string& out) {
    if (folder < 0 || folder >= kModelFolderCount || !name) return false;
    const size_t length = std::strlen(kModelFolders[folder]) + std::strlen(name);
    if (length > static_cast<size_t>(kTextCapacity - 1)) return false;
    out = kModelFolders[folder];
    out += name;
    return true;
}

std::string model_skin_path(const std::string& modelPath) {
    const size_t dot = modelPath.rfind('.');
    if (dot == std::string::npos) return modelPath;
    return modelPath.substr(0, dot) + ".png";
}
