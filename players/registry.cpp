// The agents by name: registration, families by prefix, look-up and the list.
#include "players/registry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace gulper {

namespace {

// Built on first use, so registrations from other files' static objects find it whatever
// order those are built in.
std::map<std::string, AgentEntry>& Registry() {
    static std::map<std::string, AgentEntry> registry;
    return registry;
}

struct Family {
    std::string prefix;
    std::function<const AgentEntry*(const std::string&)> find;
    std::function<void()> stop;
};

std::vector<Family>& Families() {
    static std::vector<Family> families;
    return families;
}

const Family* FamilyOf(const std::string& name) {
    for (const Family& f : Families()) {
        if (name.compare(0, f.prefix.size(), f.prefix) == 0) {
            return &f;
        }
    }
    return nullptr;
}

}  // namespace

AgentRegistration::AgentRegistration(AgentEntry entry) {
    const std::string name = entry.name;
    if (FamilyOf(name) != nullptr || !Registry().emplace(name, std::move(entry)).second) {
        std::fprintf(stderr, "two agents are registered as \"%s\"\n", name.c_str());
        std::abort();
    }
}

AgentFamilyRegistration::AgentFamilyRegistration(
    std::string prefix, std::function<const AgentEntry*(const std::string&)> find,
    std::function<void()> stop) {
    Families().push_back({std::move(prefix), std::move(find), std::move(stop)});
}

std::vector<const AgentEntry*> RegisteredAgents() {
    std::vector<const AgentEntry*> list;
    for (const auto& [name, entry] : Registry()) {
        list.push_back(&entry);
    }
    std::stable_partition(list.begin(), list.end(),
                          [](const AgentEntry* e) { return e->name == DEFAULT_AGENT; });
    return list;
}

const AgentEntry* FindAgent(const std::string& name) {
    if (const Family* family = FamilyOf(name)) {
        return family->find(name);
    }
    const auto it = Registry().find(name);
    return it == Registry().end() ? nullptr : &it->second;
}

std::string AgentNames() {
    std::string names;
    for (const AgentEntry* entry : RegisteredAgents()) {
        names += (names.empty() ? "" : ", ") + entry->name;
    }
    return names;
}

std::unique_ptr<Player> NewPlayer(const AgentEntry& entry) {
    if (entry.player) {
        return entry.player();
    }
    return std::make_unique<SpritePlayer>(entry.make(), entry.readPlan, entry.recordPlans);
}

void StopAgents() {
    for (const Family& f : Families()) {
        if (f.stop) {
            f.stop();
        }
    }
}

GameResult PlayHeadlessGame(const GameSettings& settings, uint32_t seed, std::ostream* log,
                            GameRecord* record) {
    const AgentEntry& entry = *FindAgent(settings.agent);
    return PlayGame([&entry] { return NewPlayer(entry); }, settings, seed, log, record);
}

}  // namespace gulper
