#include "assets/ArenaFile.h"

#include "assets/BoundedFile.h"
#include "game/BodySizes.h"

#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <vector>

namespace {

constexpr std::size_t kMaxNameLength = 32;
constexpr float kLowest = -2.0f;      // units: the lowest bottom a piece or spawn point may have
constexpr float kHighest = 30.0f;     // units: the highest
constexpr float kThinnest = 0.01f;    // units: a piece's least size along any axis
constexpr float kTallest = 40.0f;     // units: a piece's height at most
constexpr float kMaxTurn = 360.0f;    // degrees either way
constexpr float kSpawnAbove = 0.25f;  // units a spawn point may be off its floor either way
constexpr float kSpawnSpacing = 3.0f; // units between spawn points: two hulls' half diagonals
constexpr int kSignificantDigits = 9; // enough for every float to read back to the bit

// A fault: the entry it is in and what is wrong, thrown up to parse.
struct Fault {
    std::string entry;
    std::string what;
};

std::string numberText(double value, int digits = kSignificantDigits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return text;
}

// A limit as a fault names it: as short as it was written here.
std::string limitText(float limit) {
    constexpr int kLimitDigits = 6;
    return numberText(limit, kLimitDigits);
}

bool printable(const std::string& text) {
    for (const char c : text) {
        if (c < ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

// Reads the entries of one table, each checked; every key must be taken by the end.
class TableReader {
public:
    TableReader(const toml::table& table, std::string entry)
        : entry(std::move(entry)), table(table) {}

    float number(const char* key, float low, float high, std::optional<float> fallback = {}) {
        const toml::node* node = take(key, fallback.has_value());
        if (node == nullptr) {
            return *fallback;
        }
        return checked(*node, key, low, high);
    }
    glm::vec3 vector(const char* key, glm::vec3 low, glm::vec3 high) {
        const toml::array* array = take(key, false)->as_array();
        if (array == nullptr || array->size() != 3) {
            throw Fault{entry, std::string(key) + " must be a list of 3 numbers"};
        }
        glm::vec3 value;
        for (int i = 0; i < 3; ++i) {
            value[i] = checked(*array->get(static_cast<std::size_t>(i)), key, low[i], high[i]);
        }
        return value;
    }
    std::string text(const char* key, std::size_t minLength, std::optional<std::string> fallback) {
        const toml::node* node = take(key, fallback.has_value());
        if (node == nullptr) {
            return *fallback;
        }
        const auto value = node->value_exact<std::string>();
        if (!value || value->size() < minLength || value->size() > kMaxNameLength ||
            !printable(*value)) {
            throw Fault{entry, std::string(key) + " must be " + std::to_string(minLength) + " to " +
                                   std::to_string(kMaxNameLength) + " printable ASCII characters"};
        }
        return *value;
    }
    // Whether the key holds first rather than second; throws for anything else.
    bool choice(const char* key, const char* first, const char* second) {
        const auto value = take(key, false)->value_exact<std::string>();
        if (!value || (*value != first && *value != second)) {
            throw Fault{entry,
                        std::string(key) + " must be \"" + first + "\" or \"" + second + "\""};
        }
        return *value == first;
    }
    bool flag(const char* key, bool fallback) {
        const toml::node* node = take(key, true);
        if (node == nullptr) {
            return fallback;
        }
        const auto value = node->value_exact<bool>();
        if (!value) {
            throw Fault{entry, std::string(key) + " must be true or false"};
        }
        return *value;
    }
    // The key is read elsewhere.
    void known(const char* key) { taken.emplace_back(key); }
    // Throws for the first key no read took.
    void finish() const {
        for (const auto& [key, node] : table) {
            if (std::find(taken.begin(), taken.end(), key.str()) == taken.end()) {
                throw Fault{entry, "unknown key '" + std::string(key.str()) + "'"};
            }
        }
    }

    const std::string entry;

private:
    const toml::node* take(const char* key, bool optional) {
        known(key);
        const toml::node* node = table.get(key);
        if (node == nullptr && !optional) {
            throw Fault{entry, std::string(key) + " is missing"};
        }
        return node;
    }
    float checked(const toml::node& node, const char* key, float low, float high) const {
        const auto value = node.is_number() ? node.value<double>() : std::nullopt;
        if (!value || !std::isfinite(*value) || *value < low || *value > high) {
            throw Fault{entry, std::string(key) + " must be numbers from " + limitText(low) +
                                   " to " + limitText(high)};
        }
        return static_cast<float>(*value);
    }

    const toml::table& table;
    std::vector<std::string> taken; // the keys read
};

// The tables of an array of tables, or a fault naming it.
const toml::array* tablesOf(const toml::table& root, const char* key, std::size_t low,
                            std::size_t high) {
    const toml::node* node = root.get(key);
    const toml::array* array = node != nullptr ? node->as_array() : nullptr;
    if (array == nullptr || !array->is_array_of_tables() || array->size() < low ||
        array->size() > high) {
        throw Fault{key, "must be " + std::to_string(low) + " to " + std::to_string(high) + " [[" +
                             key + "]] tables"};
    }
    return array;
}

void readPiece(Arena& arena, const toml::table& table, std::size_t number) {
    TableReader read(table, "piece " + std::to_string(number));
    const bool ground = read.choice("kind", "ground", "wall");
    const glm::vec3 position =
        read.vector("position", glm::vec3(-ArenaFile::kReach, kLowest, -ArenaFile::kReach),
                    glm::vec3(ArenaFile::kReach, kHighest, ArenaFile::kReach));
    const glm::vec3 size =
        read.vector("size", glm::vec3(kThinnest),
                    glm::vec3(2.0f * ArenaFile::kReach, kTallest, 2.0f * ArenaFile::kReach));
    const float turn = read.number("turn", -kMaxTurn, kMaxTurn, 0.0f);
    const bool solidOnly = read.flag("solid_only", false);
    read.finish();
    ArenaPiece& piece = arena.addPiece(ground ? PieceKind::Ground : PieceKind::Wall, position, turn,
                                       size / kBoxBounds.size());
    piece.visible = !solidOnly;
    for (int i = 0; i < piece.shape.m_count; ++i) {
        const b2Vec2 corner = b2Mul(piece.transform, piece.shape.m_vertices[i]);
        if (std::abs(corner.x) > ArenaFile::kReach || std::abs(corner.y) > ArenaFile::kReach) {
            throw Fault{read.entry,
                        "reaches past " + limitText(ArenaFile::kReach) + " units from the middle"};
        }
    }
}

// Whether a hull standing at the spawn point would overlap the piece.
bool blocks(const ArenaPiece& piece, glm::vec3 spawn) {
    if (piece.kind == PieceKind::Ground) {
        return false;
    }
    const float halfSide = kHullBounds.size().x / 2.0f;
    const CollisionBody room = piece.grown(halfSide);
    return room.shape.TestPoint(room.transform, b2Vec2(spawn.x, spawn.z)) && piece.top > spawn.y &&
           piece.bottom < spawn.y + kHullBounds.size().y;
}

void readSpawn(Arena& arena, const toml::table& table, std::size_t number) {
    TableReader read(table, "spawn " + std::to_string(number));
    const glm::vec3 position =
        read.vector("position", glm::vec3(-ArenaFile::kReach, kLowest, -ArenaFile::kReach),
                    glm::vec3(ArenaFile::kReach, kHighest, ArenaFile::kReach));
    const float heading = read.number("heading", -kMaxTurn, kMaxTurn);
    read.finish();
    bool onGround = false;
    for (const ArenaPiece& piece : arena.pieces) {
        onGround =
            onGround || (piece.kind == PieceKind::Ground &&
                         piece.shape.TestPoint(piece.transform, b2Vec2(position.x, position.z)));
        if (blocks(piece, position)) {
            throw Fault{read.entry, "is inside a piece"};
        }
    }
    if (!onGround || std::abs(position.y - arena.floorAt(position.x, position.z)) > kSpawnAbove) {
        throw Fault{read.entry, "is not standing on a ground piece"};
    }
    for (const SpawnPoint& other : arena.spawns) {
        if (glm::distance(other.position, position) < kSpawnSpacing) {
            throw Fault{read.entry, "is too close to another spawn point"};
        }
    }
    arena.addSpawn(position, heading);
}

void writeVector(std::ostringstream& out, const char* key, glm::vec3 v) {
    out << key << " = [" << numberText(v.x) << ", " << numberText(v.y) << ", " << numberText(v.z)
        << "]\n";
}

} // namespace

std::optional<Arena> ArenaFile::parse(const std::string& text, std::string& fault) {
    if (text.size() > kMaxBytes) {
        fault = "file: larger than " + std::to_string(kMaxBytes) + " bytes";
        return std::nullopt;
    }
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& error) {
        fault = "line " + std::to_string(error.source().begin.line) + ": " +
                std::string(error.description());
        return std::nullopt;
    }
    try {
        Arena arena(kBoxBounds);
        TableReader read(root, "file");
        arena.name = read.text("name", 1, std::nullopt);
        arena.author = read.text("author", 0, std::string());
        const toml::array* pieces = tablesOf(root, "piece", 1, kMaxPieces);
        const toml::array* spawns = tablesOf(root, "spawn", kMinSpawns, kMaxSpawns);
        read.known("piece");
        read.known("spawn");
        for (std::size_t i = 0; i < pieces->size(); ++i) {
            readPiece(arena, *pieces->get(i)->as_table(), i + 1);
        }
        for (std::size_t i = 0; i < spawns->size(); ++i) {
            readSpawn(arena, *spawns->get(i)->as_table(), i + 1);
        }
        read.finish();
        arena.frameOverview();
        return arena;
    } catch (const Fault& caught) {
        fault = caught.entry + ": " + caught.what;
        return std::nullopt;
    }
}

Arena ArenaFile::load(const std::string& path, std::ostream& errors) {
    std::string text;
    std::string fault;
    std::optional<Arena> arena;
    switch (readBoundedFile(path, kMaxBytes, text)) {
    case BoundedRead::Ok:
        arena = parse(text, fault);
        break;
    case BoundedRead::Missing:
        fault = "file: missing";
        break;
    case BoundedRead::TooLarge:
        fault = "file: larger than " + std::to_string(kMaxBytes) + " bytes";
        break;
    case BoundedRead::Unreadable:
        fault = "file: cannot be read";
        break;
    }
    if (arena) {
        return std::move(*arena);
    }
    errors << "Arena: " << path << ": " << fault << "; playing " << Arena::kStandardName
           << " instead" << std::endl;
    return Arena::standard();
}

std::string ArenaFile::write(const Arena& arena) {
    std::ostringstream out;
    out << "name = " << toml::value<std::string>(arena.name) << "\n"
        << "author = " << toml::value<std::string>(arena.author) << "\n";
    for (const ArenaPiece& piece : arena.pieces) {
        out << "\n[[piece]]\n"
            << "kind = \"" << (piece.kind == PieceKind::Ground ? "ground" : "wall") << "\"\n";
        writeVector(out, "position", piece.position);
        writeVector(out, "size", piece.scale * kBoxBounds.size());
        out << "turn = " << numberText(piece.heading) << "\n";
        if (!piece.visible) {
            out << "solid_only = true\n";
        }
    }
    for (const SpawnPoint& spawn : arena.spawns) {
        out << "\n[[spawn]]\n";
        writeVector(out, "position", spawn.position);
        out << "heading = " << numberText(spawn.heading) << "\n";
    }
    return out.str();
}
