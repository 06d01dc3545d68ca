// Step and repeat: copies of a trigger, each one shifted in the x-y plane,
// turned about a centre and moved on in depth, stage time and rotation by
// its number times the increments.
#pragma once

#include "document/records.h"

#include <string>

// The increments as the copies use them: every value already single
// precision, the angle step in radians.
struct StepRepeatParams {
    int count = 0;
    float angle = 0;  // radians per copy
    float centreX = 0, centreY = 0;
    float centreXInc = 0, centreYInc = 0;
    float triggerInc = 0, zInc = 0;
    float rxInc = 0, ryInc = 0, rzInc = 0;
};

// The dialog's field values made into copy parameters: the count truncated
// toward zero (saturating), degrees to radians in double then float, every
// other value rounded to a float.
StepRepeatParams step_repeat_params(double count, double angleDegrees, double centreX,
                                    double centreXInc, double centreY, double centreYInc,
                                    double triggerInc, double zInc, double rxInc, double ryInc,
                                    double rzInc);

// Writes copy number i (1, 2, ...) of `source` into `copy`: type, segment,
// hit points, score, bonus and stage count, and the source's stages moved by
// i times the increments. Stage slots past the source's count keep what
// `copy` held.
void step_repeat_copy(const Trigger& source, int i, const StepRepeatParams& params, Trigger& copy);

// How many copies can follow `lines` triggers before the table is full.
int step_repeat_room(int lines);

// The conversion line between stage time and depth for a segment of
// `length`: one whole segment of time is 256 x length units of depth.
std::string trigger_to_depth_text(double triggerInc, float length);  // "%.3f t = %.1f Z"
std::string depth_to_trigger_text(double zInc, float length);        // "%.1f Z = %.3f t"
double depth_for_trigger(double triggerInc, float length);
double trigger_for_depth(double zInc, float length);
