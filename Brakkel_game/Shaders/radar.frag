#version 330

// Every radar shape is a convex quadrilateral. sides holds the pixel centre's signed distances
// to its four sides in pixels, positive inside (they vary linearly, so interpolation is exact):
// a pixel is covered by about half a pixel more than the distance to the nearest side, which
// gives smooth edges at any turn. Everything is cut to the radar's disc; a framed shape (the
// backdrop) takes the frame's colour in the disc's outer band. Blending does the rest.

in vec4 colour;
in vec4 sides;
in float framed;

uniform vec2 centre;      // pixels
uniform float radius;     // pixels
uniform float frameWidth; // pixels
uniform vec4 frameColour;

out vec4 color;

float coverage(float distanceInside) {
    return clamp(distanceInside + 0.5, 0.0, 1.0);
}

void main() {
    float nearestSide = min(min(sides.x, sides.y), min(sides.z, sides.w));
    float fromCentre = length(gl_FragCoord.xy - centre);
    float band = framed * coverage(fromCentre - (radius - frameWidth));
    color = mix(colour, frameColour, band);
    color.a *= coverage(nearestSide) * coverage(radius - fromCentre);
}
