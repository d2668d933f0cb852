#version 330

// Aiming marks arrive in window pixels (origin bottom-left, y upwards), each corner with its
// colour.
layout(location = 0) in vec2 pixelPosition;
layout(location = 1) in vec4 vertexColour;

uniform vec2 halfWindow; // pixels

out vec4 colour;

void main() {
    gl_Position = vec4(pixelPosition / halfWindow - 1.0, 0.0, 1.0);
    colour = vertexColour;
}
