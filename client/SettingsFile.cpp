#include "client/SettingsFile.h"

#include "client/UserFolder.h"

#include "game/PlayerName.h"

#include <toml++/toml.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxFileBytes = 64 * 1024; // far more than any settings file holds

const char* qualityName(QualityPreset quality) {
    switch (quality) {
    case QualityPreset::Balanced:
        return "balanced";
    case QualityPreset::Fast:
        return "fast";
    case QualityPreset::Full:
        break;
    }
    return "full";
}

const char* aimName(AimScheme aim) {
    return aim == AimScheme::Mouse ? "mouse" : "keys";
}

const char* rulesName(Rules rules) {
    return rules == Rules::Duel ? "duel" : "classic";
}

const char* modeName(Mode mode) {
    return mode == Mode::Battle ? "battle" : "duel";
}

// Reads the entries of one table into settings, telling errors of each that cannot be taken.
class EntryReader {
public:
    EntryReader(const std::string& path, std::ostream& errors) : path(path), errors(errors) {}

    void flag(const toml::node& node, const char* key, bool& value) const {
        if (const auto read = node.value_exact<bool>()) {
            value = *read;
        } else {
            refuse(key, "must be true or false", value ? "true" : "false");
        }
    }
    void percent(const toml::node& node, const char* key, int& value, int low, int high) const {
        const auto read = node.value_exact<std::int64_t>();
        if (read && *read >= low && *read <= high) {
            value = static_cast<int>(*read);
        } else {
            refuse(key,
                   ("must be a whole number from " + std::to_string(low) + " to " +
                    std::to_string(high))
                       .c_str(),
                   std::to_string(value).c_str());
        }
    }
    template <typename Choice>
    void choice(const toml::node& node, const char* key, Choice& value,
                std::initializer_list<Choice> choices, const char* (*name)(Choice),
                const char* allowed) const {
        if (const auto read = node.value_exact<std::string>()) {
            for (Choice candidate : choices) {
                if (*read == name(candidate)) {
                    value = candidate;
                    return;
                }
            }
        }
        refuse(key, (std::string("must be one of ") + allowed).c_str(),
               (std::string("\"") + name(value) + "\"").c_str());
    }
    void name(const toml::node& node, const char* key, std::string& value) const {
        const auto read = node.value_exact<std::string>();
        if (read && player_name::valid(*read)) {
            value = *read;
        } else {
            refuse(key, "must be 1 to 16 printable ASCII characters, not all spaces",
                   ("\"" + value + "\"").c_str());
        }
    }
    void arena(const toml::node& node, const char* key, std::string& value) const {
        const auto read = node.value_exact<std::string>();
        if (read && (read->empty() || Settings::validArena(*read))) {
            value = *read;
        } else {
            refuse(key,
                   "must be \"\" (the built-in arena) or an arena file's name: 1 to 32 letters, "
                   "digits, spaces, '_', '-' or '.'",
                   "the built-in arena");
        }
    }
    void unknown(const std::string& key) const {
        errors << "Settings: " << path << ": unknown entry '" << key << "' ignored" << std::endl;
    }

private:
    void refuse(const char* key, const char* rule, const char* fallback) const {
        errors << "Settings: " << path << ": " << key << " " << rule << "; using " << fallback
               << std::endl;
    }

    const std::string& path;
    std::ostream& errors;
};

} // namespace

std::string SettingsFile::standardPath() {
    const std::string folder = userFolder("XDG_CONFIG_HOME", ".config");
    return folder.empty() ? "" : (fs::path(folder) / "settings.toml").string();
}

Settings SettingsFile::load(std::ostream& errors) const {
    Settings settings;
    std::error_code failure;
    if (filePath.empty() || !fs::exists(filePath, failure)) {
        return settings;
    }
    const std::uintmax_t size = fs::file_size(filePath, failure);
    std::ifstream file(filePath, std::ios::binary);
    if (failure || !file || size > kMaxFileBytes) {
        errors << "Settings: " << filePath << ": "
               << (size > kMaxFileBytes && !failure ? "too large to be a settings file"
                                                    : "cannot be read")
               << "; using the defaults" << std::endl;
        return settings;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    toml::table table;
    try {
        table = toml::parse(text, filePath);
    } catch (const toml::parse_error& error) {
        errors << "Settings: " << filePath << ": line " << error.source().begin.line << ": "
               << error.description() << "; using the defaults" << std::endl;
        return settings;
    }
    const EntryReader read(filePath, errors);
    for (const auto& [key, node] : table) {
        const std::string name(key.str());
        if (name == "fullscreen") {
            read.flag(node, "fullscreen", settings.fullscreen);
        } else if (name == "quality") {
            read.choice(node, "quality", settings.quality,
                        {QualityPreset::Full, QualityPreset::Balanced, QualityPreset::Fast},
                        qualityName, "\"full\", \"balanced\", \"fast\"");
        } else if (name == "render_scale") {
            read.percent(node, "render_scale", settings.renderScale, Settings::kMinRenderScale,
                         Settings::kMaxRenderScale);
        } else if (name == "master_volume") {
            read.percent(node, "master_volume", settings.masterVolume, 0, Settings::kMaxVolume);
        } else if (name == "engine_volume") {
            read.percent(node, "engine_volume", settings.engineVolume, 0, Settings::kMaxVolume);
        } else if (name == "aim") {
            read.choice(node, "aim", settings.aim, {AimScheme::Keys, AimScheme::Mouse}, aimName,
                        "\"keys\", \"mouse\"");
        } else if (name == "mouse_sensitivity") {
            read.percent(node, "mouse_sensitivity", settings.mouseSensitivity,
                         Settings::kMinSensitivity, Settings::kMaxSensitivity);
        } else if (name == "invert_pitch") {
            read.flag(node, "invert_pitch", settings.invertPitch);
        } else if (name == "radar") {
            read.flag(node, "radar", settings.radar);
        } else if (name == "rules") {
            read.choice(node, "rules", settings.rules, {Rules::Classic, Rules::Duel}, rulesName,
                        "\"classic\", \"duel\"");
        } else if (name == "skill") {
            read.choice(node, "skill", settings.skill,
                        {Skill::Classic, Skill::Rookie, Skill::Veteran, Skill::Ace}, skillName,
                        "\"classic\", \"rookie\", \"veteran\", \"ace\"");
        } else if (name == "mode") {
            read.choice(node, "mode", settings.mode, {Mode::Duel, Mode::Battle}, modeName,
                        "\"duel\", \"battle\"");
        } else if (name == "tanks") {
            read.percent(node, "tanks", settings.tanks, MatchSetup::kMinSeats,
                         MatchSetup::kMaxSeats);
        } else if (name == "teams") {
            read.flag(node, "teams", settings.teams);
        } else if (name == "battle_skill") {
            read.choice(node, "battle_skill", settings.battleSkill,
                        {Skill::Classic, Skill::Rookie, Skill::Veteran, Skill::Ace}, skillName,
                        "\"classic\", \"rookie\", \"veteran\", \"ace\"");
        } else if (name == "frag_limit") {
            read.percent(node, "frag_limit", settings.fragLimit, MatchSetup::kMinFragLimit,
                         MatchSetup::kMaxFragLimit);
        } else if (name == "time_limit") {
            read.percent(node, "time_limit", settings.timeLimitSeconds,
                         MatchSetup::kMinTimeLimitSeconds, MatchSetup::kMaxTimeLimitSeconds);
        } else if (name == "name") {
            read.name(node, "name", settings.name);
        } else if (name == "arena") {
            read.arena(node, "arena", settings.arena);
        } else {
            read.unknown(name);
        }
    }
    return settings;
}

bool SettingsFile::save(const Settings& settings, std::string& error) const {
    if (filePath.empty()) {
        error = "Settings: no place to keep them (neither XDG_CONFIG_HOME nor HOME is set)";
        return false;
    }
    const fs::path path(filePath);
    std::error_code failure;
    fs::create_directories(path.parent_path(), failure);
    const fs::path temporary = path.string() + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << "# Brakkel's settings, written by the game's options screen.\n"
             << "fullscreen = " << (settings.fullscreen ? "true" : "false") << "\n"
             << "quality = \"" << qualityName(settings.quality) << "\" # full, balanced, fast\n"
             << "render_scale = " << settings.renderScale << " # percent, 50 to 100\n"
             << "master_volume = " << settings.masterVolume << " # percent\n"
             << "engine_volume = " << settings.engineVolume
             << " # percent, the engines against the effects\n"
             << "aim = \"" << aimName(settings.aim) << "\" # keys, mouse\n"
             << "mouse_sensitivity = " << settings.mouseSensitivity << " # percent, 25 to 400\n"
             << "invert_pitch = " << (settings.invertPitch ? "true" : "false") << "\n"
             << "radar = " << (settings.radar ? "true" : "false") << "\n"
             << "rules = \"" << rulesName(settings.rules) << "\" # classic, duel\n"
             << "skill = \"" << skillName(settings.skill)
             << "\" # the computer in a duel: classic, rookie, veteran, ace\n"
             << "mode = \"" << modeName(settings.mode) << "\" # duel, battle\n"
             << "tanks = " << settings.tanks << " # a battle's, 2 to 8\n"
             << "teams = " << (settings.teams ? "true" : "false") << "\n"
             << "battle_skill = \"" << skillName(settings.battleSkill)
             << "\" # the computers in a battle\n"
             << "frag_limit = " << settings.fragLimit << " # 1 to 99\n"
             << "time_limit = " << settings.timeLimitSeconds << " # seconds, 60 to 3600\n"
             << "name = " << toml::value<std::string>(settings.name) << "\n"
             << "arena = " << toml::value<std::string>(settings.arena)
             << " # \"\": the built-in one; else an arena file's name\n";
        file.close();
        if (!file) {
            error = "Settings: cannot write " + temporary.string() + ": " + std::strerror(errno);
            fs::remove(temporary, failure);
            return false;
        }
    }
    fs::rename(temporary, path, failure);
    if (failure) {
        error = "Settings: cannot write " + filePath + ": " + failure.message();
        fs::remove(temporary, failure);
        return false;
    }
    return true;
}
