#include "platform/components.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

namespace yejian::platform {
namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, ComponentFactory> factories;
    std::set<std::string> unavailable;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

thread_local int init_depth = 0;

void require_initialised_thread()
{
#ifndef NDEBUG
    if (init_depth <= 0) {
        std::fputs("component used on a thread that has not initialised components\n", stderr);
        std::abort();
    }
#endif
}

} // namespace

void Component::check_thread() { require_initialised_thread(); }

void register_component(const std::string& prog_id, ComponentFactory factory)
{
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    reg.factories[prog_id] = std::move(factory);
}

void set_component_available(const std::string& prog_id, bool available)
{
    auto& reg = registry();
    std::lock_guard lock(reg.mutex);
    if (available)
        reg.unavailable.erase(prog_id);
    else
        reg.unavailable.insert(prog_id);
}

std::shared_ptr<Component> create_component(const std::string& prog_id)
{
    require_initialised_thread();
    ComponentFactory factory;
    {
        auto& reg = registry();
        std::lock_guard lock(reg.mutex);
        if (reg.unavailable.count(prog_id))
            return nullptr;
        auto it = reg.factories.find(prog_id);
        if (it == reg.factories.end())
            return nullptr;
        factory = it->second;
    }
    // The factory runs outside the lock: it may itself create components.
    try {
        return factory();
    } catch (...) {
        return nullptr;
    }
}

void initialize_components_on_thread() { ++init_depth; }

void uninitialize_components_on_thread()
{
    assert(init_depth > 0 && "uninitialised more often than initialised");
    if (init_depth > 0)
        --init_depth;
}

int component_init_depth() { return init_depth; }

} // namespace yejian::platform
