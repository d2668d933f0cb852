#version 330

// Every radar shape is a convex quadrilateral. sides holds the pixel centre's signed distances
// to its four sides in pixels, positive inside (they vary linearly, so interpolation is exact):
// a pixel is covered by about half a pixel more than the distance to the nearest side, which
// gives smooth edges at any turn. Everything is cut to the radar's disc, and a shape with a
// hole (the frame) to outside the circle of that radius as well. Blending does the rest.

in vec4 colour;
in vec4 sides;
in float hole;

uniform vec2 centre;  // pixels
uniform float radius; // pixels

out vec4 color;

float coverage(float distanceInside) {
    return clamp(distanceInside + 0.5, 0.0, 1.0);
}

void main() {
    float nearestSide = min(min(sides.x, sides.y), min(sides.z, sides.w));
    float fromCentre = length(gl_FragCoord.xy - centre);
    float covered = coverage(nearestSide) * coverage(radius - fromCentre) *
                    coverage(fromCentre - hole);
    color = vec4(colour.rgb, colour.a * covered);
}
