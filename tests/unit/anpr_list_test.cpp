// The plate list store: entries keyed by plate, batches all or nothing,
// texts read and written within their fields.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/anprdb/anpr_list.h"
#include "test_support.h"

namespace {

class AnprList : public ::testing::Test {
protected:
    void TearDown() override { anpr_list_close(); }
    TempRoot root_;
};

anpr_list_entry entry(const char *type, const char *plate)
{
    anpr_list_entry result{};
    strncpy(result.type, type, sizeof result.type - 1);
    strncpy(result.plate, plate, sizeof result.plate - 1);
    return result;
}

TEST_F(AnprList, BatchesReplaceByPlateAndLookupsTellAbsentFromFound)
{
    const anpr_list_entry first[] = {entry("black", "AB1"), entry("white", "CD2"), entry("white", "AB1")};
    ASSERT_EQ(write_anpr_list_replace_batch(ANPR_DB_PATH, first, 3), 0);
    EXPECT_EQ(count_anpr_lists(ANPR_DB_PATH), 2) << "a plate sent twice is one entry, the last one";
    anpr_list_entry found;
    ASSERT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, "AB1"), 0);
    EXPECT_STREQ(found.type, "white");
    EXPECT_STREQ(found.plate, "AB1");
    EXPECT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, "ZZ9"), 1);
    EXPECT_EQ(found.plate[0], '\0');

    const anpr_list_entry changed = entry("visitor", "CD2");
    EXPECT_EQ(update_anpr_list(ANPR_DB_PATH, &changed), 0);
    ASSERT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, "CD2"), 0);
    EXPECT_STREQ(found.type, "visitor");
    EXPECT_EQ(delete_anpr_list(ANPR_DB_PATH, &changed), 0);
    EXPECT_EQ(count_anpr_lists(ANPR_DB_PATH), 1);
}

TEST_F(AnprList, CountsBeyondTheLimitChangeNothing)
{
    const anpr_list_entry one = entry("black", "AB1");
    ASSERT_EQ(write_anpr_list(ANPR_DB_PATH, &one), 0);
    EXPECT_EQ(write_anpr_list_replace_batch(ANPR_DB_PATH, &one, kAnprListMax + 1), -1);
    EXPECT_EQ(delete_anpr_lists(ANPR_DB_PATH, &one, -1), -1);
    EXPECT_EQ(update_anpr_lists(ANPR_DB_PATH, nullptr, 2), -1);
    EXPECT_EQ(count_anpr_lists(ANPR_DB_PATH), 1);
}

TEST_F(AnprList, MovesRunInOrderInOneTransaction)
{
    const anpr_list_entry stored[] = {entry("black", "AB1"), entry("white", "CD2")};
    ASSERT_EQ(write_anpr_list_replace_batch(ANPR_DB_PATH, stored, 2), 0);
    anpr_list_move moves[2] = {};
    strcpy(moves[0].old_plate, "AB1");
    moves[0].entry = entry("visitor", "CD2");
    strcpy(moves[1].old_plate, "CD2"); // the entry the first move just changed
    moves[1].entry = entry("black", "EF3");
    ASSERT_EQ(update_anpr_lists(ANPR_DB_PATH, moves, 2), 0);
    anpr_list_entry found;
    EXPECT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, "CD2"), 1);
    ASSERT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, "EF3"), 0);
    EXPECT_STREQ(found.type, "black");
    EXPECT_EQ(count_anpr_lists(ANPR_DB_PATH), 1);
}

TEST_F(AnprList, FullWidthTextsStayWithinTheirFields)
{
    anpr_list_entry full;
    memset(full.type, 't', sizeof full.type);
    memset(full.plate, 'p', sizeof full.plate);
    ASSERT_EQ(write_anpr_list(ANPR_DB_PATH, &full), 0);
    anpr_list_entry found;
    ASSERT_EQ(read_anpr_list_plate(ANPR_DB_PATH, &found, std::string(64, 'p').c_str()), 0);
    EXPECT_EQ(std::string(found.type), std::string(15, 't')) << "read back terminated within its field";
    EXPECT_EQ(found.plate[63], '\0');
}

} // namespace
