#version 330

layout(location = 0) in vec3 position;
layout(location = 1) in vec2 vertexUV;

// Shrinks the part of the picture spread over the window; (1, 1) shows all of it.
uniform vec2 scale_down;

out vec2 uv;

void main() {
    gl_Position = vec4(position, 1.0);
    uv = vertexUV * scale_down;
}
