#version 330

// Composes the main pass over the background already in the window. Blending is
// (SRC_ALPHA, ONE_MINUS_SRC_ALPHA), so the window ends up with
//     colour * alpha + background * (1 - alpha).
// texSampler1: the lit colour premultiplied by its alpha, alpha = how much of the pixel the
//              scene covers (0 where nothing was drawn, so the background shows there).
//              The main pass leaves it so by blending colour with (SRC_ALPHA,
//              ONE_MINUS_SRC_ALPHA) and coverage with (ONE, ONE_MINUS_SRC_ALPHA) over a
//              cleared target.
// texSampler2: the glow term (bright, specular, emissive parts), spread by a small blur so
//              highlights and sparks bloom a little past their edges.
// darken scales the whole composed frame, background included: with the scene's own light
// premultiplied as L and its coverage as a, the wanted result is
//     darken * (L + background * (1 - a)),
// hence alpha = 1 - darken * (1 - a) and colour = darken * L / alpha.

in vec2 uv;

uniform sampler2D texSampler1;
uniform sampler2D texSampler2;
uniform float darken;

out vec4 color;

// A 13-tap disc: the centre, a ring at 1.5 texels and a sparser ring at 3.5 texels.
// Offsets between texels let linear filtering average pairs of them for free.
const int tapCount = 13;
const vec2 tapOffsets[tapCount] = vec2[](
    vec2(0.0, 0.0),
    vec2(1.5, 0.0), vec2(-1.5, 0.0), vec2(0.0, 1.5), vec2(0.0, -1.5),
    vec2(1.5, 1.5), vec2(-1.5, 1.5), vec2(1.5, -1.5), vec2(-1.5, -1.5),
    vec2(3.5, 0.0), vec2(-3.5, 0.0), vec2(0.0, 3.5), vec2(0.0, -3.5));
const float tapWeights[tapCount] = float[](
    0.2,
    0.1, 0.1, 0.1, 0.1,
    0.05, 0.05, 0.05, 0.05,
    0.05, 0.05, 0.05, 0.05);

vec3 blurredGlow() {
    vec2 texel = 1.0 / vec2(textureSize(texSampler2, 0));
    vec3 sum = vec3(0.0);
    for (int i = 0; i < tapCount; ++i) {
        sum += tapWeights[i] * texture(texSampler2, uv + tapOffsets[i] * texel).rgb;
    }
    return sum;
}

void main() {
    vec4 scene = texture(texSampler1, uv);
    vec3 glow = blurredGlow();

    // The glow is a light layer over the scene: it adds its light and covers the background
    // as much as its brightest channel.
    vec3 light = scene.rgb + glow;
    float coverage = max(scene.a, clamp(max(glow.r, max(glow.g, glow.b)), 0.0, 1.0));

    float alpha = 1.0 - darken * (1.0 - coverage);
    vec3 rgb = alpha > 0.0 ? min(darken * light / alpha, vec3(1.0)) : vec3(0.0);
    color = vec4(rgb, alpha);
}
