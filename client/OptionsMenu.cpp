#include "client/OptionsMenu.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kScaleStep = 5;        // percent
constexpr int kVolumeStep = 10;      // percent
constexpr int kSensitivityStep = 25; // percent
constexpr int kBalancedScale = 75;   // percent
constexpr int kFastScale = 50;       // percent

constexpr const char* kLabels[OptionsMenu::kItemCount] = {
    "Window",       "Quality", "Render scale", "Volume",   "Engines", "Mouse",
    "Camera pitch", "Radar",   "Rules",        "Opponent", "Back"};
constexpr const char* kSkillTexts[kSkillCount] = {"Classic", "Rookie", "Veteran", "Ace"};

int stepped(int value, int by, int low, int high) {
    return std::clamp(value + by, low, high);
}

QualityPreset nextQuality(QualityPreset quality, int direction) {
    constexpr int kCount = 3;
    return static_cast<QualityPreset>((static_cast<int>(quality) + direction + kCount) % kCount);
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
        settings.skill =
            static_cast<Skill>((static_cast<int>(settings.skill) + by + kSkillCount) % kSkillCount);
        break;
    default:
        open = false;
        break;
    }
    return settings != before;
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
    default:
        std::snprintf(value, size, "%s", "");
        break;
    }
}
