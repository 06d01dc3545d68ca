#include "preview/camera.h"

#include <cmath>

float previewMapDistance(double mapPosition, int gridSize, float length) {
    if (gridSize <= 0) return 0.0f;
    return static_cast<float>(256 / gridSize) *
           (static_cast<float>(gridSize) * static_cast<float>(mapPosition)) * length;
}

PreviewCamera previewCamera(int cameraAngle, float pos, float pitch, float yaw) {
    PreviewCamera camera = {{0.0f, 85.0f, pos}, {0.0f, 0.0f, pos}};
    if (pitch != 0.0f || yaw != 0.0f) {
        const float level = 155.0f * std::cos(pitch);
        camera.eye[0] = level * std::sin(yaw);
        camera.eye[1] = 155.0f * std::sin(pitch);
        camera.eye[2] = pos - level * std::cos(yaw);
        return camera;
    }
    if (cameraAngle == 1)
        camera.eye[0] = -155.0f;
    else if (cameraAngle == 2)
        camera.eye[0] = 155.0f;
    else
        camera.eye[2] = pos - 155.0f;
    return camera;
}

float dragMapPosition(float startPosition, int startY, int eventY, int windowHeight) {
    if (windowHeight <= 0) return startPosition;
    const float v = static_cast<float>(startY - eventY) / static_cast<float>(windowHeight) + startPosition;
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}
