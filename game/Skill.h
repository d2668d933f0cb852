#pragma once

#include <cstdint>
#include <string_view>

// Who the computer is at the wheel of a seat. Classic is the game's original opponent, with its
// own powers (see Match::limited); the others see, hear, plan and aim within a person's powers,
// as well as their figures let them.
enum class Skill : std::uint8_t { Classic, Rookie, Veteran, Ace };

inline constexpr int kSkillCount = 4;

// What a skill may perceive and how well it acts on it: the one table the skilled controller
// reads (SkilledController and its parts), so that the skills differ in figures, never in code.
struct SkillFigures {
    // Perception.
    float reactionSeconds;  // from a first sight or sound to acting on it
    float viewConeDegrees;  // the whole width of the view, about the turret
    float viewRange;        // units: no tank is seen farther away
    float shotHearing;      // units: a shot is heard this far from where it was fired
    float engineHearing;    // units: a tank driving at least kLoudThrottle is heard this far
    float memorySeconds;    // a place seen or heard is forgotten after this long
    float bulletSightRange; // units: bullets coming are seen this far
    // Gunnery.
    float aimErrorDegrees; // the spread of each aim's error, one standard deviation
    float leadError;       // the spread of the lead taken, as a share of the lead
    float aimTolerance;    // degrees: fires once the turret is this close to its aim
    float fireRange;       // units: does not fire at a tank farther away
    float shotPause;       // seconds between two shots at the least (a reload may be longer)
    // Tactics.
    float dodgeChance;  // of a bullet seen coming in time, the share it dodges
    float coverChance;  // when reloading in an enemy's sight, the chance it takes cover
    float thinkSeconds; // how often the plan is rethought
    float engageRange;  // units: the distance it likes to fight at
    float climbChance;  // when it has no one to look for, the chance it roams the other level
};

const SkillFigures& skillFigures(Skill skill);
// "classic", "rookie", "veteran", "ace".
const char* skillName(Skill skill);
// The skill of a name as skillName gives it, case as given; false when there is none.
bool parseSkill(std::string_view name, Skill& skill);
