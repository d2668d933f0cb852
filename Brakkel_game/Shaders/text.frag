#version 330

in vec2 uv;

uniform sampler2D myTextureSampler;
uniform float opacity; // of the whole line, 1 for whole

out vec4 color;

// The atlas's alpha cuts the glyph out of its cell; blending does the rest.
void main() {
    color = texture(myTextureSampler, uv) * vec4(1.0, 1.0, 1.0, opacity);
}
