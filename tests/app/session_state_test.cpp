#include "app/session_state.h"

#include <gtest/gtest.h>

using namespace yejian::app;

namespace {

class SessionStateTest : public ::testing::Test {
protected:
    void SetUp() override { reset_session_state(); }
    void TearDown() override { release_session_state(); }
};

void expect_fresh_records(const SessionState& state, std::size_t count)
{
    ASSERT_EQ(state.board_table.size(), count);
    for (const BoardRecord& record : state.board_table) {
        EXPECT_EQ(record.board_id, 0);
        EXPECT_EQ(record.title, "");
    }
}

} // namespace

TEST_F(SessionStateTest, StartsEmpty)
{
    session().session_cookie_text = "sid=1; uid=2;";
    session().user_url_name = "someone";
    session().replace_board_table(2);
    reset_session_state();
    EXPECT_EQ(session().session_cookie_text, "");
    EXPECT_EQ(session().user_url_name, "");
    EXPECT_TRUE(session().board_table.empty());
}

TEST_F(SessionStateTest, ReplaceBoardTableInstallsNewRecords)
{
    session().replace_board_table(0);
    expect_fresh_records(session(), 0);
    session().replace_board_table(3);
    expect_fresh_records(session(), 3);
}

TEST_F(SessionStateTest, SecondReplacementKeepsNothingOfTheFirst)
{
    session().replace_board_table(3);
    for (std::size_t k = 0; k < 3; ++k) {
        session().board_table[k].board_id = 5000000000LL + static_cast<std::int64_t>(k);
        session().board_table[k].title = "画板" + std::to_string(k);
    }
    EXPECT_EQ(session().board_table[2].board_id, 5000000002LL); // 64-bit ids kept whole
    session().replace_board_table(2);
    expect_fresh_records(session(), 2);
    session().replace_board_table(3);
    expect_fresh_records(session(), 3);
}

TEST_F(SessionStateTest, NegativeCountGivesAnEmptyTable)
{
    session().replace_board_table(2);
    session().replace_board_table(-1);
    EXPECT_TRUE(session().board_table.empty());
}

TEST_F(SessionStateTest, ExitCleanupReleasesEverything)
{
    session().session_cookie_text = "sid=1;";
    session().user_url_name = "someone";
    session().replace_board_table(3);
    release_session_state();
    EXPECT_EQ(session().session_cookie_text.capacity(), std::string().capacity());
    EXPECT_EQ(session().user_url_name, "");
    EXPECT_EQ(session().board_table.capacity(), 0u);
}
