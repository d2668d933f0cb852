#version 330 core

// Advances one particle record per frame. Velocities are in units per 16-ms frame, so the
// motion keeps its shape at any frame rate. A record leaves the burst by not being emitted.
//
// Type: 1 marks a fresh record from an emission; the first pass replaces it with the
// particle's own share of the burst lifetime (0.35 to 1), so the sparks die out one by one
// instead of all at once. Fast sparks tend to live longer: the slow hot core goes first and
// the burst ends as a ring of embers.

layout(points) in;
layout(points, max_vertices = 1) out;

in float Type0[];
in vec3 Position0[];
in vec3 Velocity0[];
in float Age0[];

out float Type1;
out vec3 Position1;
out vec3 Velocity1;
out float Age1;

uniform float gDeltaTimeMillis; // this frame's milliseconds
uniform float gTime;            // milliseconds since the emission, this frame included
uniform float gLifeTime;        // milliseconds the burst lasts

const float kFrameMillis = 16.0;   // the frame the velocities are measured in
const float kGravity = 0.0035;     // units per frame, per frame, downwards
const float kDragPerFrame = 0.94;  // velocity kept after one frame of air drag
const float kFreshType = 1.0;
const float kShortestShare = 0.35; // the earliest spark dies at 35% of the lifetime
const float kTopSpeed = 0.2;       // units per frame: the fastest initial velocity
const float kSpeedWeight = 0.6;    // how much of a spark's share its speed decides

// Stable pseudo-random value in [0, 1) from the particle's initial velocity.
float hash(vec3 v)
{
    return fract(sin(dot(v, vec3(12.9898, 78.233, 37.719))) * 43758.5453);
}

void main()
{
    float share = Type0[0];
    if (share >= kFreshType) {
        float speed = clamp(length(Velocity0[0]) / kTopSpeed, 0.0, 1.0);
        float chance = hash(Velocity0[0] * 1000.0);
        share = mix(kShortestShare, 1.0, mix(chance, speed, kSpeedWeight));
    }

    float age = Age0[0] + gDeltaTimeMillis;
    if (age > gLifeTime * share || gTime > gLifeTime) {
        return;
    }

    float frames = gDeltaTimeMillis / kFrameMillis;
    vec3 velocity = Velocity0[0];
    vec3 position = Position0[0] + velocity * frames;
    velocity.y -= kGravity * frames;
    velocity *= pow(kDragPerFrame, frames);

    Type1 = share;
    Position1 = position;
    Velocity1 = velocity;
    Age1 = age;
    EmitVertex();
    EndPrimitive();
}
