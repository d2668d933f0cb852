#version 330

// Text quads arrive in window pixels (origin bottom-left, y upwards).
layout(location = 0) in vec2 pixelPosition;
layout(location = 1) in vec2 vertexUV;

uniform vec2 halfWindow; // pixels

out vec2 uv;

void main() {
    gl_Position = vec4(pixelPosition / halfWindow - 1.0, 0.0, 1.0);
    uv = vertexUV;
}
