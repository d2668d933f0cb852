#include "particles/ParticleSimProgram.h"

#include "render/AssetPaths.h"
#include "render/ShaderLoader.h"

#include <string>

bool ParticleSimProgram::init() {
    // Each step runs even after an earlier one failed, so every problem gets its message.
    bool built = createProgram();
    const std::string vertexText = readShaderSource(std::string(kShaderDir) + "particle.vert");
    const std::string geometryText = readShaderSource(std::string(kShaderDir) + "particle.geom");
    built = addShader(GL_VERTEX_SHADER, vertexText.c_str()) && built;
    built = addShader(GL_GEOMETRY_SHADER, geometryText.c_str()) && built;

    // Must precede the link; the order is that of the Particle record.
    const GLchar* varyings[] = {"Type1", "Position1", "Velocity1", "Age1"};
    glTransformFeedbackVaryings(shaderProgram.name(), 4, varyings, GL_INTERLEAVED_ATTRIBS);
    built = finalize() && built;

    deltaTimeLocation = glGetUniformLocation(shaderProgram.name(), "gDeltaTimeMillis");
    timeLocation = glGetUniformLocation(shaderProgram.name(), "gTime");
    lifeTimeLocation = glGetUniformLocation(shaderProgram.name(), "gLifeTime");
    return glGetError() == GL_NO_ERROR && built;
}
