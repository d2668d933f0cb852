#include "client/OptionsMenu.h"

#include "game/PlayerName.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

namespace {
constexpr int kScaleStep = 5;        // percent
constexpr int kVolumeStep = 10;      // percent
constexpr int kSensitivityStep = 25; // percent
constexpr int kBalancedScale = 75;   // percent
constexpr int kFastScale = 50;       // percent

constexpr int kFragStep = 5;         // frags
constexpr int kMenuFragLimit = 50;   // the most the menu steps to
constexpr int kTimeStep = 60;        // seconds
constexpr int kMenuTimeLimit = 1800; // seconds

constexpr const char* kLabels[OptionsMenu::kItemCount] = {
    "Window",       "Quality",    "Render scale", "Volume",   "Engines", "Aim",   "Mouse",
    "Camera pitch", "Radar",      "Rules",        "Opponent", "Mode",    "Tanks", "Teams",
    "Computers",    "Frag limit", "Time limit",   "Name",     "Arena",   "Back"};
constexpr const char* kSkillTexts[kSkillCount] = {"Classic", "Rookie", "Veteran", "Ace"};

int stepped(int value, int by, int low, int high) {
    return std::clamp(value + by, low, high);
}

QualityPreset nextQuality(QualityPreset quality, int direction) {
    constexpr int kCount = 3;
    return static_cast<QualityPreset>((static_cast<int>(quality) + direction + kCount) % kCount);
}

// The arena after (or before) the chosen one among the built-in arena ("") and the files named;
// from a name no longer among them, the built-in arena.
std::string nextArena(const std::string& chosen, const std::vector<std::string>& names,
                      int direction) {
    const auto found = std::find(names.begin(), names.end(), chosen);
    if (!chosen.empty() && found == names.end()) {
        return "";
    }
    const int count = static_cast<int>(names.size()) + 1; // the built-in arena first
    const int at = chosen.empty() ? 0 : static_cast<int>(found - names.begin()) + 1;
    const int next = ((at + direction) % count + count) % count;
    return next == 0 ? "" : names[static_cast<std::size_t>(next - 1)];
}

Skill nextSkill(Skill skill, int direction) {
    return static_cast<Skill>((static_cast<int>(skill) + direction + kSkillCount) % kSkillCount);
}

const char* qualityText(QualityPreset quality) {
    switch (quality) {
    case QualityPreset::Balanced:
        return "Balanced";
    case QualityPreset::Fast:
        return "Fast";
    case QualityPreset::Full:
        break;
    }
    return "Full";
}
} // namespace

int OptionsMenu::presetScale(QualityPreset quality) {
    switch (quality) {
    case QualityPreset::Balanced:
        return kBalancedScale;
    case QualityPreset::Fast:
        return kFastScale;
    case QualityPreset::Full:
        break;
    }
    return Settings::kMaxRenderScale;
}

bool OptionsMenu::step(const MenuInput& input, Settings& settings) {
    if (editing) {
        return type(input, settings);
    }
    if (input.leave) {
        open = false;
        return false;
    }
    selected = std::clamp(selected + input.move, 0, kItemCount - 1);
    const int by = input.change;
    if (by == 0) {
        return false;
    }
    const Settings before = settings;
    switch (selected) {
    case kWindow:
        settings.fullscreen = !settings.fullscreen;
        break;
    case kQuality:
        settings.quality = nextQuality(settings.quality, by);
        settings.renderScale = presetScale(settings.quality);
        break;
    case kRenderScale:
        settings.renderScale = stepped(settings.renderScale, by * kScaleStep,
                                       Settings::kMinRenderScale, Settings::kMaxRenderScale);
        break;
    case kMasterVolume:
        settings.masterVolume =
            stepped(settings.masterVolume, by * kVolumeStep, 0, Settings::kMaxVolume);
        break;
    case kEngineVolume:
        settings.engineVolume =
            stepped(settings.engineVolume, by * kVolumeStep, 0, Settings::kMaxVolume);
        break;
    case kAim:
        settings.aim = settings.aim == AimScheme::Keys ? AimScheme::Mouse : AimScheme::Keys;
        break;
    case kMouseSensitivity:
        settings.mouseSensitivity = stepped(settings.mouseSensitivity, by * kSensitivityStep,
                                            Settings::kMinSensitivity, Settings::kMaxSensitivity);
        break;
    case kInvertPitch:
        settings.invertPitch = !settings.invertPitch;
        break;
    case kRadar:
        settings.radar = !settings.radar;
        break;
    case kRules:
        settings.rules = settings.rules == Rules::Classic ? Rules::Duel : Rules::Classic;
        break;
    case kOpponent:
        settings.skill = nextSkill(settings.skill, by);
        break;
    case kMode:
        settings.mode = settings.mode == Mode::Duel ? Mode::Battle : Mode::Duel;
        break;
    case kTanks:
        settings.tanks = stepped(settings.tanks, by, MatchSetup::kMinSeats, MatchSetup::kMaxSeats);
        break;
    case kTeams:
        settings.teams = !settings.teams;
        break;
    case kComputers:
        settings.battleSkill = nextSkill(settings.battleSkill, by);
        break;
    case kFragLimit:
        settings.fragLimit = stepped(settings.fragLimit, by * kFragStep, kFragStep,
                                     std::max(kMenuFragLimit, settings.fragLimit));
        break;
    case kTimeLimit:
        settings.timeLimitSeconds =
            stepped(settings.timeLimitSeconds, by * kTimeStep, MatchSetup::kMinTimeLimitSeconds,
                    std::max(kMenuTimeLimit, settings.timeLimitSeconds));
        break;
    case kArena:
        settings.arena = nextArena(settings.arena, arenas, by);
        break;
    case kName:
        editing = true;
        drafted = std::min(settings.name.size(), player_name::kMaxLength);
        draft.fill('\0');
        std::copy_n(settings.name.begin(), drafted, draft.begin());
        break;
    default:
        open = false;
        break;
    }
    return settings != before;
}

bool OptionsMenu::type(const MenuInput& input, Settings& settings) {
    for (const char* typed = input.typed.data(); *typed != '\0'; ++typed) {
        if (*typed == InputState::kErase) {
            draft[drafted > 0 ? --drafted : 0] = '\0';
        } else if (drafted < player_name::kMaxLength) {
            draft[drafted++] = *typed;
        }
    }
    if (input.cancel) {
        editing = false;
        return false;
    }
    if (!input.confirm || !player_name::valid(std::string_view(draft.data(), drafted))) {
        return false;
    }
    editing = false;
    const std::string typed(draft.data(), drafted);
    if (typed == settings.name) {
        return false;
    }
    settings.name = typed;
    return true;
}

void OptionsMenu::describeShown(int item, const Settings& settings, char* value,
                                std::size_t size) const {
    if (editing && item == kName) {
        std::snprintf(value, size, "%s_", draft.data());
        return;
    }
    describe(item, settings, value, size);
}

const char* OptionsMenu::label(int item) {
    return item >= 0 && item < kItemCount ? kLabels[item] : "";
}

void OptionsMenu::describe(int item, const Settings& settings, char* value, std::size_t size) {
    switch (item) {
    case kWindow:
        std::snprintf(value, size, "%s", settings.fullscreen ? "Fullscreen" : "Window");
        break;
    case kQuality:
        std::snprintf(value, size, "%s", qualityText(settings.quality));
        break;
    case kRenderScale:
        std::snprintf(value, size, "%d %%", settings.renderScale);
        break;
    case kMasterVolume:
        std::snprintf(value, size, "%d %%", settings.masterVolume);
        break;
    case kEngineVolume:
        std::snprintf(value, size, "%d %%", settings.engineVolume);
        break;
    case kAim:
        std::snprintf(value, size, "%s", settings.aim == AimScheme::Mouse ? "Mouse" : "Keys");
        break;
    case kMouseSensitivity:
        std::snprintf(value, size, "%d %%", settings.mouseSensitivity);
        break;
    case kInvertPitch:
        std::snprintf(value, size, "%s", settings.invertPitch ? "Inverted" : "Normal");
        break;
    case kRadar:
        std::snprintf(value, size, "%s", settings.radar ? "Shown" : "Hidden");
        break;
    case kRules:
        std::snprintf(value, size, "%s",
                      settings.rules == Rules::Duel ? "Duel (reload, grace)" : "Classic");
        break;
    case kOpponent:
        std::snprintf(value, size, "%s", kSkillTexts[static_cast<int>(settings.skill)]);
        break;
    case kMode:
        std::snprintf(value, size, "%s", settings.mode == Mode::Battle ? "Battle" : "Duel");
        break;
    case kTanks:
        std::snprintf(value, size, "%d", settings.tanks);
        break;
    case kTeams:
        std::snprintf(value, size, "%s", settings.teams ? "Two" : "Off");
        break;
    case kComputers:
        std::snprintf(value, size, "%s", kSkillTexts[static_cast<int>(settings.battleSkill)]);
        break;
    case kFragLimit:
        std::snprintf(value, size, "%d", settings.fragLimit);
        break;
    case kTimeLimit:
        std::snprintf(value, size, "%d min", settings.timeLimitSeconds / 60);
        break;
    case kName:
        std::snprintf(value, size, "%s", settings.name.c_str());
        break;
    case kArena:
        std::snprintf(value, size, "%s",
                      settings.arena.empty() ? "Built in (Classic)" : settings.arena.c_str());
        break;
    default:
        std::snprintf(value, size, "%s", "");
        break;
    }
}
