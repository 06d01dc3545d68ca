#include "document/stage_geometry.h"

#include <cfloat>
#include <cmath>

namespace {

constexpr float kPixelLimit = 1073741824.0f;  // 2^30
constexpr float kZoomStep = 1.1f;

}  // namespace

int truncate_pixel(float v) {
    if (!(v > -kPixelLimit)) return -1073741824;  // also NaN
    if (v > kPixelLimit) return 1073741824;
    return static_cast<int>(v);
}

FrontAxes front_axes(int X, int Y, int W, int H) {
    return {static_cast<float>(X + W / 2), static_cast<float>(Y + H / 2)};
}

int front_column(const FrontAxes& a, float x) { return truncate_pixel(a.cx + x); }
int front_row(const FrontAxes& a, float y) { return truncate_pixel(a.cy - y); }

float front_mouse_x(int X, int W, int eventX) { return static_cast<float>((eventX - X) - W / 2); }
float front_mouse_y(int Y, int H, int eventY) { return static_cast<float>(H / 2 - (eventY - Y)); }

TimeAxes time_axes(int X, int Y, int W, int H, float scale, float base, float segmentLength) {
    TimeAxes a;
    a.X = X, a.Y = Y, a.W = W, a.H = H;
    a.scale = scale;
    a.base = base;
    a.pps = static_cast<float>(W) * scale;
    a.left = static_cast<float>(X) - a.pps * base;
    a.L = 256.0f * segmentLength;
    a.ppz = (static_cast<float>(W) / a.L) * scale;
    a.cy = static_cast<float>(Y + H / 2);
    return a;
}

int time_column(const TimeAxes& a, float t) { return truncate_pixel(a.left + a.pps * t); }
int depth_column(const TimeAxes& a, float z) { return truncate_pixel(a.left + a.ppz * z); }
int value_row(const TimeAxes& a, float v) { return truncate_pixel(a.cy - 0.5f * v); }

float mouse_time(const TimeAxes& a, int eventX) {
    return static_cast<float>(eventX - a.X) / static_cast<float>(a.W) / a.scale + a.base;
}

float mouse_value(const TimeAxes& a, int eventY) {
    return static_cast<float>(2 * (a.H / 2 - (eventY - a.Y)));
}

bool grabs_stage_point(const TimeAxes& a, float zm, float vm, float z, float v) {
    const float rz = 10.0f * a.L / static_cast<float>(a.W) / a.scale;
    return rz > std::fabs(zm - z) && std::fabs(vm - v) < 20.0f;
}

float zoom_in(float scale) {
    const float s = scale * kZoomStep;
    return s <= FLT_MAX ? s : scale;
}

float zoom_out(float scale) {
    const float s = scale / kZoomStep;
    return s > 0 ? s : scale;
}

float fitted_base(float scale, float base) {
    if (1.0f / scale + base > 1.0f) base = 1.0f - 1.0f / scale;
    if (base < 0.0f) base = 0.0f;
    return base;
}

bool clip_line(double& x0, double& y0, double& x1, double& y1, double left, double top,
               double right, double bottom) {
    // Liang-Barsky: the part of the line's parameter range 0..1 inside
    // each of the four edges.
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1) return false;
            if (r > t0) t0 = r;
        } else {
            if (r < t0) return false;
            if (r < t1) t1 = r;
        }
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx, y1 = y0 + t1 * dy;
    x0 = ax, y0 = ay;
    return true;
}
