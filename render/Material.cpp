#include "render/Material.h"

#include <glm/gtc/type_ptr.hpp>

void Material::fetchLocations(GLuint program) {
    kaLocation = glGetUniformLocation(program, "ka");
    kdLocation = glGetUniformLocation(program, "kd");
    ksLocation = glGetUniformLocation(program, "ks");
    ambientColorLocation = glGetUniformLocation(program, "ambientColor");
    diffuseColorLocation = glGetUniformLocation(program, "diffuseColor");
    specularColorLocation = glGetUniformLocation(program, "specularColor");
    phongPowerLocation = glGetUniformLocation(program, "phongPower");
}

void Material::apply(GLuint program) const {
    glUseProgram(program);
    glUniform1f(kaLocation, ka);
    glUniform1f(kdLocation, kd);
    glUniform1f(ksLocation, ks);
    glUniform3fv(ambientColorLocation, 1, glm::value_ptr(ambientColor));
    glUniform3fv(diffuseColorLocation, 1, glm::value_ptr(diffuseColor));
    glUniform3fv(specularColorLocation, 1, glm::value_ptr(specularColor));
    glUniform1ui(phongPowerLocation, phongPower);
}
