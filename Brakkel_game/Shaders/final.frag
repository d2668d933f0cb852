#version 330

// Composes the main pass over the background already in the window. Blending is
// (SRC_ALPHA, ONE_MINUS_SRC_ALPHA), so the window ends up with
//     colour * alpha + background * (1 - alpha).
// (When the scene's targets hold the background themselves, every pixel is covered, alpha is
// 1 everywhere, and the pass simply replaces the window's pixels.)
// texSampler1: the lit colour premultiplied by its alpha, alpha = how much of the pixel the
//              scene covers (0 where nothing was drawn, so the background shows there). At the
//              window's size it is read unfiltered, each pixel its own texel; smaller, it is
//              blown up filtered.
// texSampler2: the glow (light above a brightness threshold), with mip levels made from it
//              this frame and sampled through a clamping sampler: a soft bloom from a single
//              read of a level an eighth of the window's size, which stops at the window's
//              edges.
// bloomWeight: how strongly the glow blooms; 0 adds no glow.
// GLOW 0 builds the variant for frames without glow, which leaves the glow target unread: a
// software renderer runs both sides of a branch, so bloomWeight 0 alone would still read it.
// darken scales the whole composed frame, background included: with the scene's own light
// premultiplied as L and its coverage as a, the wanted result is
//     darken * (L + background * (1 - a)),
// hence alpha = 1 - darken * (1 - a) and colour = darken * L / alpha.

#ifndef GLOW
#define GLOW 1
#endif

in vec2 uv;

uniform sampler2D texSampler1;
uniform sampler2D texSampler2;
uniform float bloomWeight;
uniform float darken;

out vec4 color;

// The bloom: each texel of level 3 averages 8 × 8 pixels of glow, and its bilinear read
// spreads that over 16 × 16; the weight gives a spark of a few pixels a visible halo. One
// read: on a software renderer every read of the whole window costs milliseconds.
const float kBloomLevel = 3.0;

void main() {
    vec4 scene = texture(texSampler1, uv);
    vec3 glow = vec3(0.0);
#if GLOW
    if (bloomWeight > 0.0) {
        glow = bloomWeight * textureLod(texSampler2, uv, kBloomLevel).rgb;
    }
#endif

    // The glow is a light layer over the scene: it adds its light and covers the background
    // as much as its brightest channel.
    vec3 light = scene.rgb + glow;
    float coverage = max(scene.a, clamp(max(glow.r, max(glow.g, glow.b)), 0.0, 1.0));

    float alpha = 1.0 - darken * (1.0 - coverage);
    vec3 rgb = alpha > 0.0 ? min(darken * light / alpha, vec3(1.0)) : vec3(0.0);
    color = vec4(rgb, alpha);
}
