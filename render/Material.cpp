#include "render/Material.h"

#include <glm/gtc/type_ptr.hpp>

MaterialUniforms::MaterialUniforms(GLuint program)
    : ka(glGetUniformLocation(program, "ka")), kd(glGetUniformLocation(program, "kd")),
      ks(glGetUniformLocation(program, "ks")),
      ambientColor(glGetUniformLocation(program, "ambientColor")),
      diffuseColor(glGetUniformLocation(program, "diffuseColor")),
      specularColor(glGetUniformLocation(program, "specularColor")),
      phongPower(glGetUniformLocation(program, "phongPower")) {}

void Material::apply(const MaterialUniforms& uniforms) const {
    glUniform1f(uniforms.ka, ka);
    glUniform1f(uniforms.kd, kd);
    glUniform1f(uniforms.ks, ks);
    glUniform3fv(uniforms.ambientColor, 1, glm::value_ptr(ambientColor));
    glUniform3fv(uniforms.diffuseColor, 1, glm::value_ptr(diffuseColor));
    glUniform3fv(uniforms.specularColor, 1, glm::value_ptr(specularColor));
    glUniform1ui(uniforms.phongPower, phongPower);
}
