// Where the stage views put a trigger's path, and what a mouse position in
// them means. The front view shows x and y, one unit a pixel, about its
// centre; the side and top views show a stage's time (a fraction of its
// segment) and its depth along one horizontal axis, zoomed by `scale` with
// the segment fraction `base` at the left edge, and y or x vertically at
// two units a pixel. Pixel positions are truncated toward zero.
#pragma once

// A float pixel position truncated toward zero. Values beyond +-2^30 (far
// outside any window) and NaN are held at +-2^30, so nothing overflows.
int truncate_pixel(float v);

struct FrontAxes {
    float cx, cy;  // the centre pixel (integer halves of the size)
};
FrontAxes front_axes(int X, int Y, int W, int H);
int front_column(const FrontAxes& a, float x);
int front_row(const FrontAxes& a, float y);
// The stage x and y at a window pixel: whole units, the centre gives 0, 0.
float front_mouse_x(int X, int W, int eventX);
float front_mouse_y(int Y, int H, int eventY);

struct TimeAxes {
    int X, Y, W, H;
    float scale, base;
    float pps;     // pixels per whole segment
    float left;    // column of time 0
    float L;       // depth of a whole segment: 256 x the segment's length
    float ppz;     // pixels per depth unit
    float cy;      // the centre row (integer half of the height)
};
TimeAxes time_axes(int X, int Y, int W, int H, float scale, float base, float segmentLength);
int time_column(const TimeAxes& a, float t);
int depth_column(const TimeAxes& a, float z);
int value_row(const TimeAxes& a, float v);
// The stage time, depth and y (or x) at a window pixel.
float mouse_time(const TimeAxes& a, int eventX);
float mouse_value(const TimeAxes& a, int eventY);
// Whether a press at depth zm and value vm takes hold of the stage point at
// (z, v): closer than 10 pixels in depth and 20 value units (10 pixels).
bool grabs_stage_point(const TimeAxes& a, float zm, float vm, float z, float v);

// The zoom buttons: the scale times or divided by 1.1, in single precision.
// A step that would leave the finite positive floats keeps the scale.
float zoom_in(float scale);
float zoom_out(float scale);
// After a change of scale: the view may not pass the segment's end, nor
// start before its beginning.
float fitted_base(float scale, float base);

// Cuts the line (x0, y0)-(x1, y1) to the rectangle; false when none of it
// lies inside. Used for lines whose ends lie far outside a view.
bool clip_line(double& x0, double& y0, double& x1, double& y1, double left, double top,
               double right, double bottom);
