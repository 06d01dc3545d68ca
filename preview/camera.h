// Where the preview looks from: the segment's camera view at the map
// position, or the orbit while the user drags; and the map position that a
// vertical drag gives.
#pragma once

struct PreviewCamera {
    float eye[3];
    float target[3];  // the up direction is always +y
};

// Distance along the segment of map position `mapPosition` (0..1):
// float(256 / gridSize) x (float(gridSize) x float(mapPosition)) x length,
// in single precision in that order; 0 .. 256 x length.
float previewMapDistance(double mapPosition, int gridSize, float length);

// The camera for `cameraAngle` (1 left, 2 right, anything else front), 155
// units from the point (0, 0, pos) it looks at and 85 above it. A non-zero
// orbit (pitch, yaw in radians) replaces the view: the eye goes round the
// same point at 155 units.
PreviewCamera previewCamera(int cameraAngle, float pos, float pitch, float yaw);

// The map position while dragging: the position at the press plus the
// upward motion in window heights, clamped to 0..1. A window of no height
// leaves the position as it was.
float dragMapPosition(float startPosition, int startY, int eventY, int windowHeight);
