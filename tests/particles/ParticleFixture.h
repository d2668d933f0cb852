#pragma once

#include "particles/ParticleEffects.h"
#include "particles/ParticleSystem.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A ParticleEffects built from the shader files of the build tree, with the line it printed.
class ParticleTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        testing::internal::CaptureStdout();
        effects = std::make_unique<ParticleEffects>();
        initOutput = testing::internal::GetCapturedStdout();
    }
    void TearDown() override { effects.reset(); }

    ParticleSystem& burst(int index) { return *effects->systems.at(index); }

    std::unique_ptr<ParticleEffects> effects;
    std::string initOutput;
};

constexpr int kFrameMs = 16;
