#include "game/Skill.h"

#include <array>

namespace {
SkillFigures rookie() {
    SkillFigures f{};
    f.reactionSeconds = 0.7f;
    f.viewConeDegrees = 80.0f;
    f.viewRange = 20.0f;
    f.shotHearing = 12.0f;
    f.engineHearing = 5.0f;
    f.memorySeconds = 3.0f;
    f.bulletSightRange = 10.0f;
    f.aimErrorDegrees = 8.0f;
    f.leadError = 0.6f;
    f.aimTolerance = 6.0f;
    f.fireRange = 14.0f;
    f.shotPause = 2.5f;
    f.dodgeChance = 0.0f;
    f.coverChance = 0.0f;
    f.thinkSeconds = 1.0f;
    f.engageRange = 9.0f;
    f.climbChance = 0.3f;
    return f;
}

SkillFigures veteran() {
    SkillFigures f{};
    f.reactionSeconds = 0.3f;
    f.viewConeDegrees = 110.0f;
    f.viewRange = 32.0f;
    f.shotHearing = 22.0f;
    f.engineHearing = 8.0f;
    f.memorySeconds = 8.0f;
    f.bulletSightRange = 18.0f;
    f.aimErrorDegrees = 3.5f;
    f.leadError = 0.2f;
    f.aimTolerance = 2.5f;
    f.fireRange = 22.0f;
    f.shotPause = 0.3f;
    f.dodgeChance = 0.5f;
    f.coverChance = 0.7f;
    f.thinkSeconds = 0.5f;
    f.engageRange = 12.0f;
    f.climbChance = 0.7f;
    return f;
}

SkillFigures ace() {
    SkillFigures f{};
    f.reactionSeconds = 0.2f;
    f.viewConeDegrees = 130.0f;
    f.viewRange = 40.0f;
    f.shotHearing = 30.0f;
    f.engineHearing = 10.0f;
    f.memorySeconds = 15.0f;
    f.bulletSightRange = 24.0f;
    f.aimErrorDegrees = 1.5f;
    f.leadError = 0.12f;
    f.aimTolerance = 1.5f;
    f.fireRange = 26.0f;
    f.shotPause = 0.3f;
    f.dodgeChance = 0.85f;
    f.coverChance = 0.9f;
    f.thinkSeconds = 0.3f;
    f.engageRange = 12.0f;
    f.climbChance = 0.9f;
    return f;
}

// Classic reads none of its row.
const std::array<SkillFigures, kSkillCount> kFigures{SkillFigures{}, rookie(), veteran(), ace()};

constexpr std::array<const char*, kSkillCount> kNames{"classic", "rookie", "veteran", "ace"};
} // namespace

const SkillFigures& skillFigures(Skill skill) {
    return kFigures[static_cast<std::size_t>(skill)];
}

const char* skillName(Skill skill) {
    return kNames[static_cast<std::size_t>(skill)];
}

bool parseSkill(std::string_view name, Skill& skill) {
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) {
            skill = static_cast<Skill>(i);
            return true;
        }
    }
    return false;
}
