#version 330

// Flat colour; blending lays the marks over the picture.
in vec4 colour;

out vec4 color;

void main() {
    color = colour;
}
