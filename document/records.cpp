#include "document/records.h"

#include <cstring>

Segment segment[kSegmentCapacity];
Trigger trigger[kTriggerCapacity];
EnemyModel enemyModel[kEnemyModelCapacity];

int activeSegment = 0;
int activeTrigger = 0;
int activeStage = 0;
int activeEnemy = 0;

char currentlevel[kTextCapacity];

void default_palette(uint32_t* palette) {
    for (uint32_t i = 0; i < 128; i++) palette[i] = (16 + i) * 65536u;
    for (uint32_t i = 128; i < 256; i++) palette[i] = 144u * 65536u + (i - 112) * 256u + (i - 112);
}

void default_segment(Segment& s) {
    std::memset(&s, 0, sizeof s);
    s.isTunnel = false;
    s.cameraAngle = 0;
    s.visualization = 1;
    s.length = 15.0f;
    s.seedA = 1.0f / 6.0f;
    s.seedB = 0.2f;
    s.scale = 50.0f;
    s.fogColor = 0xc0c000;
    s.fogNear = 512.0f;
    s.fogFar = 1024.0f;
    default_palette(s.palette);
}

void default_trigger(Trigger& t) {
    std::memset(&t, 0, sizeof t);
    t.health = 1;
    t.stageCount = 2;
}

void default_enemy_model(EnemyModel& e) {
    std::memset(&e, 0, sizeof e);
    e.explosionFirstColor = 0x000030;
    e.explosionLastColor = 0x003030;
    e.explosionRadius = 60.0f;
    e.explosionHeightScale = 1.0f;
    e.explosionDuration = 1.0f;
}

void reset_level_records() {
    for (Segment& s : segment) default_segment(s);
    for (Trigger& t : trigger) default_trigger(t);
    for (EnemyModel& e : enemyModel) default_enemy_model(e);
}

void copy_text(char* field, const char* text, int capacity) {
    if (capacity <= 0) return;
    size_t n = text ? std::strlen(text) : 0;
    if (n > static_cast<size_t>(capacity - 1)) n = static_cast<size_t>(capacity - 1);
    if (n) std::memcpy(field, text, n);
    field[n] = '\0';
}
