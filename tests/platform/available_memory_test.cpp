#include "platform/available_memory.h"

#include <gtest/gtest.h>

using yejian::platform::available_memory;
using yejian::platform::available_memory_of;

TEST(AvailableMemory, ReadsTheFigureInKibibytesOrNothing)
{
    struct Case {
        const char* meminfo;
        std::optional<std::uint64_t> bytes;
    };
    const Case cases[] = {
        {"MemTotal:       24683612 kB\nMemFree:        23516060 kB\nMemAvailable:   24263836 kB\n",
         std::uint64_t{24263836} * 1024},
        {"MemAvailable:0 kB", 0},
        {"MemTotal: 1 kB\nNotMemAvailable: 5 kB\nMemAvailable: 7 kB\n", 7 * 1024},
        {"MemTotal: 1 kB\n", std::nullopt},
        {"MemAvailable: kB\n", std::nullopt},
        {"MemAvailable: -3 kB\n", std::nullopt},
        {"MemAvailable: 99999999999999999999999 kB\n", std::nullopt},
        {"MemAvailable: 18014398509481984 kB\n", std::nullopt}, // bytes beyond 64 bits
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(available_memory_of(c.meminfo), c.bytes) << c.meminfo;
}

TEST(AvailableMemory, TheSystemSaysSomething)
{
    const auto bytes = available_memory();
    ASSERT_TRUE(bytes.has_value());
    EXPECT_GT(*bytes, 0u);
}
