#pragma once

#include "render/BackgroundQuad.h"
#include "render/FinalPass.h"

// The window's picture: the background over the whole window, then the main pass's targets
// composed over it by the final pass, the whole scaled by darken (1: as lit). Leaves the
// window's depth buffer cleared. The check "Scene::render() 6" follows the window's clear.
void drawScreenPass(const BackgroundQuad& background, const FinalPass& finalPass, float darken);
