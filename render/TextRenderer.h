#pragma once

#include "render/GlObject.h"

#include <glm/glm.hpp>

#include <vector>

// Six corners per character, two counter-clockwise triangles, positions in window pixels
// (y upwards) and matching atlas coordinates.
struct TextLayout {
    std::vector<glm::vec2> positions;
    std::vector<glm::vec2> uvs;
};

// Lays out text with its first character's bottom-left corner at (x, y), size pixels tall,
// into layout (replacing what it held; its storage is reused). The font atlas holds 16 × 16
// equal cells in character-code order, code 0 at the top-left; each glyph is drawn
// advance = 0.8 × size wide. Character codes are taken as signed 8-bit values, so codes above
// 127 map, by truncating division, to coordinates outside the atlas.
void layoutText(const char* text, int x, int y, int size, TextLayout& layout);
// The same, appended to what layout holds.
void appendText(const char* text, int x, int y, int size, TextLayout& layout);

// Width in pixels of a line of text drawn size pixels tall.
int textWidth(const char* text, int size);

// Bitmap-font text in window pixels over whatever is on screen, from the atlas "font.tga" with
// the program from "text.vert"/"text.frag"; the atlas's alpha cuts the glyphs out of their
// cells.
class TextRenderer {
public:
    // Needs a current GL context. Loads the font atlas and the text program.
    TextRenderer();

    // The window the lines are drawn in, in pixels (the size the game opens at until told).
    void setWindowSize(glm::ivec2 pixels);
    // Starts the text layer: sets its state (the window, see-through blending, depth test and
    // write as in a fresh PassState), makes the text program current and binds the atlas on
    // texture unit 0, which is left active.
    void begin() const;
    // Draws one line with what begin() set, which nothing may change in between, opacity times
    // as opaque as the atlas has it; leaves no vertex array bound. After the first lines of a
    // frame, drawing allocates nothing.
    void draw(const char* text, int x, int y, int size, float opacity = 1.0f);
    // Queues one line for drawQueued; allocates nothing for the lines a screen shows.
    void queue(const char* text, int x, int y, int size);
    // Draws the lines queued since the last call, whole, in one draw and with the same pixels as
    // draw() would one by one, with what begin() set; leaves no vertex array bound. The vertex
    // buffers are filled again only when the lines differ from the last call's.
    void drawQueued();

    Texture fontTexture;
    Program textProgram;
    GLint samplerLocation;
    GLint opacityLocation;

private:
    VertexArray vertexArray;
    Buffer vertexBuffer;
    Buffer uvBuffer;
    // Fills the vertex buffers with layout's corners.
    void upload(const TextLayout& corners) const;

    TextLayout layout;
    TextLayout queued;
    TextLayout shown;           // what the vertex buffers hold, when shownUploaded
    bool shownUploaded = false; // draw() overwrites the buffers
    glm::ivec2 window{0};
};
