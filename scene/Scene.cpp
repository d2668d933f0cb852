#include "scene/Scene.h"

#include "app/Window.h"

#include <GL/glew.h>

Scene::Scene() = default;

Scene::~Scene() = default;

void Scene::update(float) {}

void Scene::render() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    window::swapBuffers();
}
