#version 330 core
// Depth of every solid object as seen from the sun.

layout(location = 0) in vec3 position;

uniform mat4 M;
uniform mat4 lightspace;

void main() {
    gl_Position = lightspace * M * vec4(position, 1.0);
}
