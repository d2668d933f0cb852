#version 330 core
// Lit, shadowed, textured objects: tanks, bullets and every arena piece.

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;

uniform mat4 M;
uniform mat4 V;
uniform mat4 P;
uniform mat4 sm_light_texmat;
uniform vec3 lightdir_world;

out vec3 worldPosition;
out vec3 worldNormal;
out vec2 texCoord;
out vec4 shadowCoord;
flat out vec3 eyePosition; // the same for every vertex: not interpolated

// World units covered by one repeat of a texture on stretched pieces (walls, slabs, blocks).
const float kTileSize = 2.5;
// An object stretched beyond this along any axis is tiled in world space instead of
// stretching its texture; tanks and bullets keep their own texture coordinates.
const float kStretchedScale = 1.5;
// The shadow map is looked up this far out along the surface's normal, more the more the
// surface slopes away from the sun: well past the reach of the lookup's one 2 × 2 comparison
// (a shadow-map texel is about 0.014 units across the arena), so a lit surface never shadows
// itself.
const float kNormalOffset = 0.03;  // units, facing the sun
const float kSlopeOffset = 0.05;   // units more, at grazing light

vec2 worldTiledCoord(vec3 p, vec3 n) {
    vec3 a = abs(n);
    if (a.y >= a.x && a.y >= a.z) {
        return p.xz / kTileSize;
    }
    if (a.x >= a.z) {
        return vec2(p.z, p.y) / kTileSize;
    }
    return vec2(p.x, p.y) / kTileSize;
}

void main() {
    vec4 world = M * vec4(position, 1.0);
    worldPosition = world.xyz;
    worldNormal = normalize(mat3(M) * (normal / vec3(dot(M[0].xyz, M[0].xyz),
                                                      dot(M[1].xyz, M[1].xyz),
                                                      dot(M[2].xyz, M[2].xyz))));
    vec3 axisScale = vec3(length(M[0].xyz), length(M[1].xyz), length(M[2].xyz));
    bool stretched = max(axisScale.x, max(axisScale.y, axisScale.z)) > kStretchedScale;
    texCoord = stretched ? worldTiledCoord(worldPosition, worldNormal) : uv;
    float facing = clamp(dot(worldNormal, normalize(lightdir_world)), 0.0, 1.0);
    vec3 offset = worldNormal * (kNormalOffset + kSlopeOffset * sqrt(1.0 - facing * facing));
    shadowCoord = sm_light_texmat * vec4(worldPosition + offset, 1.0);
    eyePosition = -transpose(mat3(V)) * V[3].xyz;
    gl_Position = P * V * world;
}
