#include "platform/components.h"

#include <gtest/gtest.h>

#include <thread>

using namespace yejian::platform;

namespace {

class Probe : public Component {
public:
    int answer() const
    {
        check_thread();
        return 42;
    }
};

} // namespace

TEST(Components, CreatesRegisteredComponentByProgId)
{
    register_component("Test.Probe", [] { return std::make_shared<Probe>(); });
    ComponentScope scope;
    auto probe = create_component_as<Probe>("Test.Probe");
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->answer(), 42);
    EXPECT_FALSE(create_component("Test.Unknown"));
}

TEST(Components, UnavailableProgIdYieldsNoneUntilMadeAvailable)
{
    register_component("Test.Probe", [] { return std::make_shared<Probe>(); });
    ComponentScope scope;
    set_component_available("Test.Probe", false);
    EXPECT_FALSE(create_component("Test.Probe"));
    set_component_available("Test.Probe", true);
    EXPECT_TRUE(create_component("Test.Probe"));
}

TEST(Components, FactoryThatThrowsYieldsNone)
{
    register_component("Test.Broken", []() -> std::shared_ptr<Component> { throw std::runtime_error("no"); });
    ComponentScope scope;
    EXPECT_FALSE(create_component("Test.Broken"));
}

TEST(Components, InitialisationNestsPerThread)
{
    EXPECT_EQ(component_init_depth(), 0);
    initialize_components_on_thread();
    initialize_components_on_thread();
    EXPECT_EQ(component_init_depth(), 2);
    int other_thread_depth = -1;
    std::thread([&] { other_thread_depth = component_init_depth(); }).join();
    EXPECT_EQ(other_thread_depth, 0);
    uninitialize_components_on_thread();
    EXPECT_EQ(component_init_depth(), 1);
    uninitialize_components_on_thread();
    EXPECT_EQ(component_init_depth(), 0);
}

TEST(ComponentsDeathTest, UseOnUninitialisedThreadAborts)
{
    register_component("Test.Probe", [] { return std::make_shared<Probe>(); });
    std::shared_ptr<Probe> probe;
    {
        ComponentScope scope;
        probe = create_component_as<Probe>("Test.Probe");
    }
    EXPECT_DEATH(probe->answer(), "has not initialised components");
    EXPECT_DEATH(create_component("Test.Probe"), "has not initialised components");
}
