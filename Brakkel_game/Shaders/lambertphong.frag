#version 330 core
// Lambert diffuse and Blinn–Phong highlights from one distant sun, soft shadows from the
// shadow map, hemisphere ambient. Target 0 gets the lit colour with the object's alpha,
// target 1 the glow term (highlights) that the final pass blooms.

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;
in vec4 shadowCoord;
in vec3 eyePosition;

uniform sampler2D diffuseTexture; // unit 0, bound by the mesh
uniform sampler2DShadow shadow_map;
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

// 4 × 4 percentage-closer samples of the hardware-filtered comparison: soft edges.
float sunVisibility() {
    vec3 p = shadowCoord.xyz / shadowCoord.w;
    if (p.x <= 0.0 || p.x >= 1.0 || p.y <= 0.0 || p.y >= 1.0 || p.z >= 1.0) {
        return 1.0;
    }
    vec2 texel = 1.0 / vec2(textureSize(shadow_map, 0));
    float lit = 0.0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            vec2 offset = (vec2(x, y) - 1.5) * texel * 1.5;
            lit += texture(shadow_map, vec3(p.xy + offset, p.z));
        }
    }
    return lit / 16.0;
}

void main() {
    vec3 albedo = texture(diffuseTexture, texCoord).rgb;
    vec3 n = normalize(worldNormal);
    if (!gl_FrontFacing) {
        n = -n;
    }
    vec3 l = normalize(lightdir_world);
    vec3 v = normalize(eyePosition - worldPosition);
    vec3 h = normalize(l + v);

    float lambert = max(dot(n, l), 0.0);
    float sun = mix(kShadowFloor, 1.0, sunVisibility());
    float highlight = lambert > 0.0 ? pow(max(dot(n, h), 0.0), float(phongPower)) : 0.0;

    vec3 hemisphere = mix(kGroundAmbient, kSkyAmbient, n.y * 0.5 + 0.5);
    vec3 ambient = ka * ambientColor * albedo * hemisphere;
    vec3 diffuse = kd * diffuseColor * albedo * lambert * kSunColor * sun;
    vec3 specular = ks * specularColor * highlight * kSunColor * sun * 0.5;
    vec3 lit = ambient + diffuse + specular;

    color = vec4(lit, alpha);
    float brightness = max(lit.r, max(lit.g, lit.b));
    glow = vec4(specular + lit * max(brightness - kGlowThreshold, 0.0), alpha);
}
