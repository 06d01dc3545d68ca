#include "document/enemy_models.h"

#include "document/level_file.h"
#include "document/records.h"
#include "document/stored_text.h"

#include <cstring>

const char* file_name_part(const char* path) {
    if (const char* back = std::strrchr(path, '\\')) return back + 1;
    if (const char* slash = std::strrchr(path, '/')) return slash + 1;
    return path;
}

ModelAdded add_enemy_model(LineList& lines, const char* name) {
    if (stored_text_fault(name) != TextFault::None) return ModelAdded::BadName;
    int n = lines.size();
    for (int i = 0; i <= n && i < kEnemyModelCapacity; i++)
        if (std::strcmp(enemyModel[i].enemyModelName, name) == 0) return ModelAdded::Known;
    if (n >= kEnemyLinesMax) return ModelAdded::Full;
    copy_text(enemyModel[n + 1].enemyModelName, name);
    lines.add(name);
    return ModelAdded::Added;
}
