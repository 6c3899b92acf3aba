#pragma once
// Components: objects made by name (a ProgID) and driven through the member functions of
// their own interface. The HTTP request object, the script engine, the code-page stream and
// the file-name object are components; each library registers its own factory.
//
// A thread uses components only between initialize_components_on_thread() and the matching
// uninitialize_components_on_thread(). The pairs nest: each thread keeps a count, and a
// component checks the count of the thread it is used on.

#include <functional>
#include <memory>
#include <string>

namespace yejian::platform {

class Component {
public:
    Component() = default;
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

protected:
    // Aborts (in builds with assertions) when the calling thread has not initialised the
    // component layer; components call it at the top of their operations.
    static void check_thread();
};

using ComponentFactory = std::function<std::shared_ptr<Component>()>;

// Registers (or replaces) the factory for a ProgID.
void register_component(const std::string& prog_id, ComponentFactory factory);

// Tests make a registered ProgID unavailable (and available again) without touching its factory.
void set_component_available(const std::string& prog_id, bool available);

// A new component, or none when the ProgID is unknown, unavailable, or its factory fails.
// The calling thread must have initialised the component layer.
std::shared_ptr<Component> create_component(const std::string& prog_id);

template <class Interface>
std::shared_ptr<Interface> create_component_as(const std::string& prog_id)
{
    return std::dynamic_pointer_cast<Interface>(create_component(prog_id));
}

// The per-thread initialisation count; pairs nest.
void initialize_components_on_thread();
void uninitialize_components_on_thread();
int component_init_depth();

// Holds one initialisation for the life of a scope.
class ComponentScope {
public:
    ComponentScope() { initialize_components_on_thread(); }
    ~ComponentScope() { uninitialize_components_on_thread(); }
    ComponentScope(const ComponentScope&) = delete;
    ComponentScope& operator=(const ComponentScope&) = delete;
};

} // namespace yejian::platform
