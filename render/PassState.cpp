#include "render/PassState.h"

namespace {
void setEnabled(GLenum capability, bool enabled) {
    if (enabled) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}
} // namespace

void applyPassState(const PassState& state) {
    glBindFramebuffer(GL_FRAMEBUFFER, state.framebuffer);
    glViewport(state.viewportCorner.x, state.viewportCorner.y, state.viewport.x, state.viewport.y);
    setEnabled(GL_DEPTH_TEST, state.depthTest);
    glDepthMask(state.depthWrite ? GL_TRUE : GL_FALSE);
    setEnabled(GL_CULL_FACE, state.cullBackFaces);
    setEnabled(GL_BLEND, state.blend != Blend::Off);
    if (state.blend == Blend::Over) {
        glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glPolygonMode(GL_FRONT_AND_BACK, state.wireframe ? GL_LINE : GL_FILL);
    setEnabled(GL_POLYGON_OFFSET_FILL, state.polygonOffset);
    glPolygonOffset(state.offsetFactor, state.offsetUnits);
    setEnabled(GL_SCISSOR_TEST, state.scissor);
    if (state.scissor) {
        glScissor(state.scissorRect.x, state.scissorRect.y, state.scissorRect.z,
                  state.scissorRect.w);
    }
}
