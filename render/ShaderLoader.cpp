#include "render/ShaderLoader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

std::string readShaderSource(const std::string& path) {
    std::string source;
    std::ifstream file(path);
    if (!file.is_open()) {
        return source;
    }
    std::string line;
    while (std::getline(file, line)) {
        source += "\n" + line;
    }
    return source;
}

namespace {

// Prints an info log. An empty log prints as an empty line.
void printLog(GLint length, void (*fetch)(GLuint, GLsizei, GLsizei*, GLchar*), GLuint object) {
    std::vector<char> log(static_cast<size_t>(std::max(length, 1)), '\0');
    fetch(object, length, nullptr, log.data());
    std::printf("%s\n", log.data());
}

void fetchShaderLog(GLuint shader, GLsizei size, GLsizei* length, GLchar* log) {
    glGetShaderInfoLog(shader, size, length, log);
}

void fetchProgramLog(GLuint program, GLsizei size, GLsizei* length, GLchar* log) {
    glGetProgramInfoLog(program, size, length, log);
}

void compileStage(GLuint shader, const std::string& path, const std::string& source) {
    std::printf("Compiling shader : %s\n", path.c_str());
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    GLint logLength = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    printLog(logLength, fetchShaderLog, shader);
}

} // namespace

Program loadShaders(const std::string& vertexPath, const std::string& fragmentPath) {
    // Deleted on return; the program keeps them attached and alive.
    const Shader vertexShader(glCreateShader(GL_VERTEX_SHADER));
    const Shader fragmentShader(glCreateShader(GL_FRAGMENT_SHADER));
    const std::string vertexSource = readShaderSource(vertexPath);
    const std::string fragmentSource = readShaderSource(fragmentPath);

    compileStage(vertexShader.name(), vertexPath, vertexSource);
    compileStage(fragmentShader.name(), fragmentPath, fragmentSource);

    std::printf("Linking program\n");
    Program program = Program::create();
    glAttachShader(program.name(), vertexShader.name());
    glAttachShader(program.name(), fragmentShader.name());
    glLinkProgram(program.name());
    GLint status = GL_FALSE;
    GLint logLength = 0;
    glGetProgramiv(program.name(), GL_LINK_STATUS, &status);
    glGetProgramiv(program.name(), GL_INFO_LOG_LENGTH, &logLength);
    printLog(logLength, fetchProgramLog, program.name());
    std::fflush(stdout);
    return program;
}

bool isLinked(const Program& program) {
    GLint status = GL_FALSE;
    glGetProgramiv(program.name(), GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}
