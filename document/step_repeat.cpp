#include "document/step_repeat.h"

#include "document/level_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

int truncate_count(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(value);
}

std::string format2(const char* format, double a, double b) {
    char text[128];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

}  // namespace

StepRepeatParams step_repeat_params(double count, double angleDegrees, double centreX,
                                    double centreXInc, double centreY, double centreYInc,
                                    double triggerInc, double zInc, double rxInc, double ryInc,
                                    double rzInc) {
    StepRepeatParams p;
    p.count = truncate_count(count);
    p.angle = static_cast<float>(angleDegrees * 0.017453292519943295);
    p.centreX = static_cast<float>(centreX);
    p.centreY = static_cast<float>(centreY);
    p.centreXInc = static_cast<float>(centreXInc);
    p.centreYInc = static_cast<float>(centreYInc);
    p.triggerInc = static_cast<float>(triggerInc);
    p.zInc = static_cast<float>(zInc);
    p.rxInc = static_cast<float>(rxInc);
    p.ryInc = static_cast<float>(ryInc);
    p.rzInc = static_cast<float>(rzInc);
    return p;
}

void step_repeat_copy(const Trigger& source, int i, const StepRepeatParams& p, Trigger& copy) {
    if (&source != &copy) std::memcpy(copy.triggerType, source.triggerType, sizeof copy.triggerType);
    copy.triggerSegment = source.triggerSegment;
    copy.health = source.health;
    copy.points = source.points;
    copy.bonusType = source.bonusType;
    copy.stageCount = source.stageCount;

    // Single precision throughout, in this order: the copies' positions are
    // the same on every machine.
    const float f = static_cast<float>(i);
    const float ang = p.angle * f;
    const float ddx = p.centreXInc * f, ddy = p.centreYInc * f;
    const float tt = p.triggerInc * f, zz = p.zInc * f;
    const float rrx = p.rxInc * f, rry = p.ryInc * f, rrz = p.rzInc * f;
    const float s = std::sin(ang), c = std::cos(ang);
    const int stages = source.stageCount < 0 ? 0 : (source.stageCount > kStageCapacity ? kStageCapacity
                                                                                         : source.stageCount);
    for (int k = 0; k < stages; k++) {
        const Stage from = source.stage[k];
        Stage& to = copy.stage[k];
        const float u = (from.x - p.centreX) + ddx;
        const float v = (from.y - p.centreY) + ddy;
        to.trigger = tt + from.trigger;
        to.x = (c * u + s * v) + p.centreX;
        to.y = p.centreY + ((-u) * s + v * c);
        to.z = zz + from.z;
        to.rx = rrx + from.rx;
        to.ry = rry + from.ry;
        to.rz = rrz + from.rz;
    }
}

int step_repeat_room(int lines) { return lines >= kTriggerLinesMax ? 0 : kTriggerLinesMax - lines; }

double depth_for_trigger(double triggerInc, float length) { return (256.0 * triggerInc) * length; }

double trigger_for_depth(double zInc, float length) {
    float d = 256.0f * length;
    if (d == 0.0f) d = 1.0f;
    return zInc / d;
}

std::string trigger_to_depth_text(double triggerInc, float length) {
    return format2("%.3f t = %.1f Z", triggerInc, depth_for_trigger(triggerInc, length));
}

std::string depth_to_trigger_text(double zInc, float length) {
    return format2("%.1f Z = %.3f t", zInc, trigger_for_depth(zInc, length));
}
