#version 330 core

// Sparks as points. Only the emitter-relative position comes in, so the heat of a spark is
// read from how far it has flown from the emitter: it grows with the time since the burst.

layout(location = 0) in vec3 position;

uniform mat4 viewMatrix; // emitter-relative position to clip space

out float heat;    // 1 at the emitter, 0 at the burst's rim
out float flicker; // per-spark variation in [0, 1)

const float kRimDistance = 3.2;  // units from the emitter where a spark has burnt out
const float kPointScale = 60.0;  // pixels of a spark at one unit from the camera
const float kMinPointSize = 1.5; // pixels
const float kMaxPointSize = 24.0;

void main()
{
    gl_Position = viewMatrix * vec4(position, 1.0);
    heat = clamp(1.0 - length(position) / kRimDistance, 0.0, 1.0);
    flicker = fract(sin(float(gl_VertexID) * 91.3458) * 47453.5453);
    float size = kPointScale * (0.4 + 0.6 * heat) / max(gl_Position.w, 0.1);
    gl_PointSize = clamp(size, kMinPointSize, kMaxPointSize);
}
