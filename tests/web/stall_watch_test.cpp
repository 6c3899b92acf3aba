#include "web/stall_watch.h"

#include <gtest/gtest.h>

namespace yejian::web {
namespace {

using std::chrono::milliseconds;

struct Step {
    int at_ms;
    std::int64_t upload_total;
    std::int64_t uploaded;
    std::int64_t downloaded;
    bool proceeds;
};

void run(StallWatch& watch, const std::vector<Step>& steps)
{
    const auto zero = StallWatch::Clock::time_point{};
    for (const Step& s : steps)
        EXPECT_EQ(watch.proceed(zero + milliseconds(s.at_ms), s.upload_total, s.uploaded, s.downloaded), s.proceeds)
            << "at " << s.at_ms << " ms";
}

TEST(StallWatch, NothingCountsBeforeARequestStarts)
{
    StallWatch watch(milliseconds(100), milliseconds(100));
    run(watch, {{0, 0, 0, 0, true}, {5000, 0, 0, 0, true}});
}

TEST(StallWatch, SendingUsesTheSendLimitAndWaitingTheReceiveLimit)
{
    StallWatch watch(milliseconds(1000), milliseconds(3000));
    watch.request_starts(StallWatch::Clock::time_point{});
    run(watch, {
                   {900, 100, 0, 0, true},     // nothing sent yet, within the send limit
                   {950, 100, 40, 0, true},    // progress resets the clock
                   {1900, 100, 40, 0, true},
                   {1960, 100, 100, 0, true},  // body complete: now waiting for the answer
                   {4900, 100, 100, 0, true},  // within the receive limit
                   {4950, 100, 100, 10, true}, // the answer trickles in
                   {7951, 100, 100, 10, false},
               });
    EXPECT_TRUE(watch.stalled());
    run(watch, {{7952, 100, 100, 11, false}});
}

TEST(StallWatch, ASendStallEnds)
{
    StallWatch watch(milliseconds(1000), milliseconds(60000));
    watch.request_starts(StallWatch::Clock::time_point{});
    run(watch, {{500, 100, 60, 0, true}, {1500, 100, 60, 0, true}, {1501, 100, 60, 0, false}});
}

TEST(StallWatch, ARedirectedRequestStartsAfresh)
{
    StallWatch watch(milliseconds(1000), milliseconds(1000));
    const auto zero = StallWatch::Clock::time_point{};
    watch.request_starts(zero);
    run(watch, {{900, 0, 0, 50, true}});
    watch.request_starts(zero + milliseconds(1800));
    run(watch, {{2700, 0, 0, 0, true}, {2801, 0, 0, 0, false}});
}

TEST(StallWatch, AZeroLimitNeverStalls)
{
    StallWatch watch(milliseconds(0), milliseconds(0));
    watch.request_starts(StallWatch::Clock::time_point{});
    run(watch, {{1000000, 100, 0, 0, true}, {2000000, 100, 100, 0, true}, {9000000, 100, 100, 0, true}});
}

} // namespace
} // namespace yejian::web
