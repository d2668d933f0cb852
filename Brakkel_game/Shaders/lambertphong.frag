#version 330 core
// Lambert diffuse and Blinn–Phong highlights from one distant sun, soft shadows from the
// shadow map, hemisphere ambient. Target 0 gets the lit colour with the object's alpha,
// target 1 the glow: the light above a brightness threshold, which the final pass blooms.

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 shadowCoord;
flat in vec3 eyePosition;

uniform sampler2D diffuseTexture; // unit 0, bound by the mesh
uniform sampler2DRectShadow shadow_map; // the stored part of the map, read in texels
uniform float shadow_map_texels;         // the whole map's side
uniform vec2 shadow_map_corner;          // the map's texel stored at the texture's corner
uniform vec3 lightdir_world;
uniform float ka;
uniform float kd;
uniform float ks;
uniform vec3 ambientColor;
uniform vec3 diffuseColor;
uniform vec3 specularColor;
uniform uint phongPower;
uniform float alpha;

layout(location = 0) out vec4 color;
layout(location = 1) out vec4 glow;

const vec3 kSunColor = vec3(1.0, 0.95, 0.85);
const vec3 kSkyAmbient = vec3(0.55, 0.65, 0.85);
const vec3 kGroundAmbient = vec3(0.35, 0.30, 0.25);
const float kShadowFloor = 0.35;  // share of direct light left in full shadow
const float kGlowThreshold = 0.8; // lit brightness above which a surface glows
// Blinn's half-vector highlight matches the width of Phong's reflection highlight of
// exponent n at about four times n.
const float kBlinnPerPhong = 4.0;

// One hardware-filtered comparison of the 2 × 2 shadow-map texels around the point: a soft
// edge about a texel wide (some 1.4 cm across the arena). Texels outside the map are lit. The
// map's side is a power of two and its stored corner a whole texel, so the point's place in
// texels is exactly where a lookup in the whole square map would take it.
float sunVisibility() {
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0) {
        return 1.0;
    }
    return texture(shadow_map, vec3(p.xy * shadow_map_texels - shadow_map_corner, p.z));
}

void main() {
    vec3 albedo = texture(diffuseTexture, texCoord).rgb;
    vec3 n = normalize(worldNormal);
    if (!gl_FrontFacing) {
        n = -n;
    }
    vec3 l = normalize(lightdir_world);
    float lambert = max(dot(n, l), 0.0);

    vec3 hemisphere = mix(kGroundAmbient, kSkyAmbient, n.y * 0.5 + 0.5);
    vec3 lit = ka * ambientColor * albedo * hemisphere;
    vec3 v = normalize(eyePosition - worldPosition);
    vec3 h = normalize(l + v);
    float exponent = kBlinnPerPhong * float(phongPower);
    float highlight = lambert > 0.0 ? pow(max(dot(n, h), 0.0), exponent) : 0.0;
    float sun = mix(kShadowFloor, 1.0, sunVisibility());
    vec3 direct = kd * diffuseColor * albedo * lambert + ks * specularColor * highlight * 0.5;
    lit += direct * kSunColor * sun;

    color = vec4(lit, alpha);
    float brightness = max(lit.r, max(lit.g, lit.b));
    glow = vec4(lit * max(brightness - kGlowThreshold, 0.0), alpha);
}
