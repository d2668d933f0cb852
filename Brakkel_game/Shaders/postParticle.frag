#version 330 core

// A hot spark: white-yellow near the emitter, orange, then red and fading towards the rim.
// Output 1 is the glow the final pass blooms. The round edge of a spark comes from point
// smoothing. Sparks are blended over the scene without writing depth, so a fading spark never
// hides what lies behind it; the faintest are dropped.

in float heat;
in float flicker;

layout(location = 0) out vec4 colour;
layout(location = 1) out vec4 glow;

const vec3 kWhiteHot = vec3(1.0, 0.95, 0.75);
const vec3 kYellow = vec3(1.0, 0.8, 0.25);
const vec3 kOrange = vec3(1.0, 0.45, 0.08);
const vec3 kRed = vec3(0.75, 0.08, 0.02);
const float kFaintest = 0.04; // opacity below which a spark is not drawn at all

vec3 sparkColour(float h)
{
    if (h > 0.75) {
        return mix(kYellow, kWhiteHot, (h - 0.75) / 0.25);
    }
    if (h > 0.4) {
        return mix(kOrange, kYellow, (h - 0.4) / 0.35);
    }
    return mix(kRed, kOrange, h / 0.4);
}

void main()
{
    float h = clamp(heat + (flicker - 0.5) * 0.15, 0.0, 1.0);
    vec3 rgb = sparkColour(h);
    float alpha = smoothstep(0.0, 0.35, heat);
    if (alpha < kFaintest) {
        discard;
    }

    colour = vec4(rgb, alpha);
    glow = vec4(rgb * alpha, alpha);
}
