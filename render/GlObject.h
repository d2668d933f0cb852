#pragma once

#include <GL/glew.h>

#include <utility>

// One GL object with one owner: created with its type's create, deleted by the destructor,
// moved but never copied. A default-constructed or moved-from handle holds no object (name 0)
// and deletes nothing. Needs a current context for creation and destruction.
template <typename Kind> class GlObject {
public:
    GlObject() = default;
    // Takes over an object already made (by a loader or a GL call of the caller's).
    explicit GlObject(GLuint name) : objectName(name) {}
    // Makes a new object of this kind.
    static GlObject create() { return GlObject(Kind::create()); }

    ~GlObject() { reset(); }
    GlObject(GlObject&& other) noexcept : objectName(std::exchange(other.objectName, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            reset();
            objectName = std::exchange(other.objectName, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    GLuint name() const { return objectName; }
    explicit operator bool() const { return objectName != 0; }
    // Deletes the object now; the handle is then empty.
    void reset() {
        if (objectName != 0) {
            Kind::destroy(objectName);
            objectName = 0;
        }
    }

private:
    GLuint objectName = 0;
};

namespace gl_kind {
struct Texture {
    static GLuint create() {
        GLuint name = 0;
        glGenTextures(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteTextures(1, &name); }
};
struct Buffer {
    static GLuint create() {
        GLuint name = 0;
        glGenBuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
};
struct VertexArray {
    static GLuint create() {
        GLuint name = 0;
        glGenVertexArrays(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteVertexArrays(1, &name); }
};
struct Framebuffer {
    static GLuint create() {
        GLuint name = 0;
        glGenFramebuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteFramebuffers(1, &name); }
};
struct Renderbuffer {
    static GLuint create() {
        GLuint name = 0;
        glGenRenderbuffers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteRenderbuffers(1, &name); }
};
struct TransformFeedback {
    static GLuint create() {
        GLuint name = 0;
        glGenTransformFeedbacks(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteTransformFeedbacks(1, &name); }
};
struct Sampler {
    static GLuint create() {
        GLuint name = 0;
        glGenSamplers(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteSamplers(1, &name); }
};
struct Query {
    static GLuint create() {
        GLuint name = 0;
        glGenQueries(1, &name);
        return name;
    }
    static void destroy(GLuint name) { glDeleteQueries(1, &name); }
};
struct Program {
    static GLuint create() { return glCreateProgram(); }
    static void destroy(GLuint name) { glDeleteProgram(name); }
};
// Shader objects are made by type (glCreateShader); wrap the name with the explicit constructor.
struct Shader {
    static void destroy(GLuint name) { glDeleteShader(name); }
};
} // namespace gl_kind

using Texture = GlObject<gl_kind::Texture>;
using Buffer = GlObject<gl_kind::Buffer>;
using VertexArray = GlObject<gl_kind::VertexArray>;
using Framebuffer = GlObject<gl_kind::Framebuffer>;
using Renderbuffer = GlObject<gl_kind::Renderbuffer>;
using TransformFeedback = GlObject<gl_kind::TransformFeedback>;
using Sampler = GlObject<gl_kind::Sampler>;
using Query = GlObject<gl_kind::Query>;
using Program = GlObject<gl_kind::Program>;
using Shader = GlObject<gl_kind::Shader>;
