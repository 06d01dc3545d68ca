// The level document: plain records in fixed-size global arrays, edited in
// place by every panel, and the selections that say which one is edited.
#pragma once

#include <cstdint>

// A packed colour: red bits 0-7, green 8-15, blue 16-23, alpha 24-31.
typedef uint32_t Palette[256];

constexpr int kSegmentCapacity = 256;
constexpr int kTriggerCapacity = 256;     // numbers 1..255 in use, slot 0 never listed
constexpr int kEnemyModelCapacity = 64;   // numbers 1..63 in use, slot 0 never listed
constexpr int kStageCapacity = 8;
constexpr int kTextCapacity = 256;        // text fields and paths: at most 255 characters

struct Segment {
    bool isTunnel;
    int32_t cameraAngle;     // 0 front, 1 left, 2 right
    int32_t visualization;   // 0 wallpaper, 1 plasma, 2 Julia, 3 wallpaper squared, 4 custom PNG
    float length;
    float seedA;
    float seedB;
    float scale;
    uint32_t fogColor;
    float fogNear;
    float fogFar;
    Palette palette;
};

struct Stage {
    float x, y, z;
    float rx, ry, rz;
    float trigger;  // time at which the enemy reaches the stage
};

struct Trigger {
    char triggerType[kTextCapacity];
    int32_t triggerSegment;
    int32_t health;
    int32_t points;
    int32_t bonusType;
    Stage stage[kStageCapacity];
    int32_t stageCount;
};

struct EnemyModel {
    char enemyModelName[kTextCapacity];
    uint32_t explosionFirstColor;
    uint32_t explosionLastColor;
    float explosionRadius;
    float explosionHeightScale;
    float explosionDuration;  // seconds
    char lockOnSound[kTextCapacity];
    char explodeSound[kTextCapacity];
};

extern Segment segment[kSegmentCapacity];
extern Trigger trigger[kTriggerCapacity];
extern EnemyModel enemyModel[kEnemyModelCapacity];

extern int activeSegment;  // 0..255
extern int activeTrigger;  // 1..255, 0 when nothing is selected
extern int activeStage;    // 0..7
extern int activeEnemy;    // 1..63, 0 when nothing is selected

// Path of the level file; empty until Open or Save As names one.
extern char currentlevel[kTextCapacity];

// The default palette ramp: dark blue to blue, then toward light grey-blue.
void default_palette(uint32_t* palette);
void default_segment(Segment& s);
void default_trigger(Trigger& t);
void default_enemy_model(EnemyModel& e);
// Gives every segment, trigger and enemy record its new-level defaults.
void reset_level_records();

// Copies text into a fixed text field, cutting it at the field's capacity.
void copy_text(char* field, const char* text, int capacity = kTextCapacity);
