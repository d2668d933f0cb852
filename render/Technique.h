#pragma once

#include "render/GlObject.h"

#include <list>

// Base of programs with more than two stages or with link-time settings (transform-feedback
// varyings). A derived class replaces init with its whole set-up: create the program, add
// one shader per stage, set link-time state, finalize, fetch its uniform locations.
class Technique {
public:
    Technique() = default;
    virtual ~Technique() = default;
    Technique(const Technique&) = delete;
    Technique& operator=(const Technique&) = delete;

    // Builds the program; true when it is ready to use. The base only creates the program
    // object, reporting a failure.
    virtual bool init();

    // Compiles text as a stage of shaderType and attaches it. A stage that fails to compile
    // is reported with its short name ("VS", "GS", "FS") and kept unattached.
    bool addShader(GLenum shaderType, const char* text);
    // Links and validates the program, then deletes the shader objects. On failure the
    // objects are kept (until the technique goes).
    bool finalize();

    Program shaderProgram;
    std::list<Shader> shaderObjects;

protected:
    // Step shared by every init: creates shaderProgram, reporting a failure.
    bool createProgram();
};
