// The agents by name: registration, look-up and the list.
#include "tools/agents/agent_registry.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tools/exec/exec_agent.h"

namespace {

// Built on first use, so registrations from other files' static objects find it whatever
// order those are built in.
std::map<std::string, AgentEntry>& Registry() {
    static std::map<std::string, AgentEntry> registry;
    return registry;
}

}  // namespace

AgentRegistration::AgentRegistration(AgentEntry entry) {
    const std::string name = entry.name;
    if (!Registry().emplace(name, std::move(entry)).second) {
        std::fprintf(stderr, "two agents are registered as \"%s\"\n", name.c_str());
        std::abort();
    }
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
    if (IsExecName(name)) {
        return ExecAgentEntry(name);
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
