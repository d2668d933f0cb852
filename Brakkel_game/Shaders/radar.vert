#version 330

// Radar shapes arrive in window pixels (origin bottom-left, y upwards), each drawn over a
// rectangle a little larger than itself.
layout(location = 0) in vec2 pixelPosition;
layout(location = 1) in vec4 vertexColour;
layout(location = 2) in vec4 vertexSides;
layout(location = 3) in float vertexFramed;

uniform vec2 halfWindow; // pixels

out vec4 colour;
out vec4 sides;
out float framed;

void main() {
    gl_Position = vec4(pixelPosition / halfWindow - 1.0, 0.0, 1.0);
    colour = vertexColour;
    sides = vertexSides;
    framed = vertexFramed;
}
