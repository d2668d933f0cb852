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

// Compiles source into shader; with a path, says so and prints the log.
void compileStage(GLuint shader, const char* path, const std::string& source) {
    if (path != nullptr) {
        std::printf("Compiling shader : %s\n", path);
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint logLength = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &logLength);
    if (path != nullptr) {
        printLog(logLength, fetchShaderLog, shader);
    }
}

// The program of the two sources; with paths (vertex, fragment), says what it compiles and
// links and prints the logs.
Program buildProgram(const std::string& vertexSource, const std::string& fragmentSource,
                     const std::string* vertexPath, const std::string* fragmentPath) {
    const bool told = vertexPath != nullptr;
    // Deleted on return; the program keeps them attached and alive.
    const Shader vertexShader(glCreateShader(GL_VERTEX_SHADER));
    const Shader fragmentShader(glCreateShader(GL_FRAGMENT_SHADER));
    compileStage(vertexShader.name(), told ? vertexPath->c_str() : nullptr, vertexSource);
    compileStage(fragmentShader.name(), told ? fragmentPath->c_str() : nullptr, fragmentSource);

    if (told) {
        std::printf("Linking program\n");
    }
    Program program = Program::create();
    glAttachShader(program.name(), vertexShader.name());
    glAttachShader(program.name(), fragmentShader.name());
    glLinkProgram(program.name());
    if (told) {
        GLint logLength = 0;
        glGetProgramiv(program.name(), GL_INFO_LOG_LENGTH, &logLength);
        printLog(logLength, fetchProgramLog, program.name());
        std::fflush(stdout);
    }
    return program;
}

// source with line inserted after its #version line (first, when it has none).
std::string withLineAfterVersion(const std::string& source, const std::string& line) {
    const std::size_t version = source.find("#version");
    if (version == std::string::npos) {
        return line + "\n" + source;
    }
    const std::size_t end = source.find('\n', version);
    if (end == std::string::npos) {
        return source + "\n" + line;
    }
    return source.substr(0, end + 1) + line + "\n" + source.substr(end + 1);
}

} // namespace

Program loadShaders(const std::string& vertexPath, const std::string& fragmentPath) {
    return buildProgram(readShaderSource(vertexPath), readShaderSource(fragmentPath), &vertexPath,
                        &fragmentPath);
}

ProgramAndVariant loadShadersWithVariant(const std::string& vertexPath,
                                         const std::string& fragmentPath,
                                         const std::string& definition) {
    const std::string vertexSource = readShaderSource(vertexPath);
    const std::string fragmentSource = readShaderSource(fragmentPath);
    ProgramAndVariant built;
    built.program = buildProgram(vertexSource, fragmentSource, &vertexPath, &fragmentPath);
    built.variant = buildProgram(vertexSource, withLineAfterVersion(fragmentSource, definition),
                                 nullptr, nullptr);
    return built;
}

bool isLinked(const Program& program) {
    GLint status = GL_FALSE;
    glGetProgramiv(program.name(), GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}
