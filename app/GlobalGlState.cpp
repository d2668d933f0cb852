#include "app/GlobalGlState.h"

#include "platform/GlCheck.h"

#include <GL/glew.h>

void setGlobalGlState(Window& window) {
    checkGlError("1");
    window.setTitle("Brakkel");
    checkGlError("2");
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    checkGlError("3");
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    checkGlError("4");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
