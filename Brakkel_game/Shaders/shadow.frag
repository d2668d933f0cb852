#version 330 core
// The shadow target has no colour attachment: only depth is written.

void main() {
}
