#version 330

// Text quads arrive in window pixels (origin bottom-left, y upwards) of the 1024 x 768 window.
layout(location = 0) in vec2 pixelPosition;
layout(location = 1) in vec2 vertexUV;

out vec2 uv;

const vec2 halfWindow = vec2(512.0, 384.0); // pixels

void main() {
    gl_Position = vec4(pixelPosition / halfWindow - 1.0, 0.0, 1.0);
    uv = vertexUV;
}
