#include "SoundCost.h"

#include "scene/Scene.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

const std::filesystem::path kTasks = "/proc/self/task";
constexpr int kUserTimeField = 14; // of /proc/…/stat, counted from 1; system time follows

std::set<std::string> taskIds() {
    std::set<std::string> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kTasks, error)) {
        ids.insert(entry.path().filename().string());
    }
    return ids;
}

std::string threadName(const std::string& id) {
    std::ifstream file(kTasks / id / "comm");
    std::string name;
    std::getline(file, name);
    return name;
}

bool isDriverThread(const std::string& name) {
    return name.rfind("llvmpipe", 0) == 0 || name.find(":disk$") != std::string::npos;
}

// User and system CPU time of a thread, in clock ticks.
long threadTicks(const std::string& id) {
    std::ifstream file(kTasks / id / "stat");
    std::string line;
    std::getline(file, line);
    // The name in parentheses may hold spaces; the fields after it do not.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int index = 3; index <= kUserTimeField + 1 && fields >> field; ++index) {
        if (index >= kUserTimeField) {
            ticks += std::stol(field);
        }
    }
    return ticks;
}

} // namespace

SoundThreads::SoundThreads() : before(taskIds()) {}

void SoundThreads::findNew() {
    for (const std::string& id : taskIds()) {
        if (before.count(id) == 0 && !isDriverThread(threadName(id))) {
            sound.insert(id);
        }
    }
}

double SoundThreads::cpuSeconds() const {
    long ticks = 0;
    for (const std::string& id : sound) {
        ticks += threadTicks(id);
    }
    return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double timeSoundCalls(Scene& scene, int repeats) {
    const Match& match = scene.client.flow->match;
    const EventList busy = {
        {GameEventType::Shot, match.tank(GameClient::kPlayerSeat).position, GameClient::kPlayerSeat,
         ""},
        {GameEventType::WallHit, glm::vec3(0.0f), kNoSeat, ""},
    };
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < repeats; ++i) {
        scene.sound.play(busy);
        scene.sound.follow(scene.client, 1.0f);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / repeats;
}
