#version 330

in vec2 uv;

uniform sampler2D texSampler;

out vec4 color;

// The background is opaque whatever the picture's alpha: it is the back of the frame.
void main() {
    color = vec4(texture(texSampler, uv).rgb, 1.0);
}
