// The plate list pages with a session of the test's own: a list larger
// than one request body is sent in batches, every plate is stored exactly
// once and all of them go again; a changed plate never leaves a second
// entry behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "front/dispatchreq.h"
#include "front/session.h"
#include "platform/anprdb/anpr_list.h"
#include "test_support.h"

namespace {

// The intake cuts a request body here.
constexpr size_t kBodyLimit = 30719;
constexpr int kPlates = 10000;

// What the resource at `path` wrote for the body `text`.
std::string call(const char *path, std::string text)
{
    EXPECT_LE(text.size(), kBodyLimit) << path;
    CapturedOutput out;
    DispatchWebReq(path, text.data());
    return out.text();
}

class AnprPages : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session_check_cookie(test_session_cookie("admin").c_str())); }
    void TearDown() override
    {
        anpr_list_close();
        session_reset();
    }

    TempRoot root_;
};

std::string plate_name(int index)
{
    char name[16];
    snprintf(name, sizeof name, "PL%05d", index);
    return name;
}

// Requests of `path` holding consecutive elements from `element` while the
// body stays within the limit; the answers in order.
template <typename Element>
std::vector<std::string> send_in_batches(const char *path, int count, Element element)
{
    std::vector<std::string> answers;
    for (int next = 0; next < count;) {
        std::string items;
        int taken = 0;
        for (; next + taken < count; ++taken) {
            const std::string item = (taken > 0 ? "," : "") + element(next + taken);
            if (items.size() + item.size() + 32 > kBodyLimit)
                break;
            items += item;
        }
        const std::string body = "{\"cnt\": " + std::to_string(taken) + ", \"plate\": [" + items + "]}";
        answers.push_back(call(path, body));
        next += taken;
    }
    return answers;
}

int collect(const anpr_list_entry &entry, void *context)
{
    static_cast<std::multiset<std::string> *>(context)->insert(std::string(entry.type) + "/" + entry.plate);
    return 0;
}

TEST_F(AnprPages, TenThousandPlatesInBatchesAreStoredOnceAndDeleted)
{
    const auto added = send_in_batches("/6184", kPlates, [](int index) {
        return std::string("[\"") + (index % 2 == 0 ? "black" : "white") + "\", \"" + plate_name(index) +
               "\"]";
    });
    ASSERT_GT(added.size(), 1u) << "the list does not fit one body";
    int counted = 0;
    for (const std::string &answer : added) {
        int count = 0;
        ASSERT_EQ(sscanf(answer.c_str(), "Content-type: application/json\r\n\r\n{ \"count\": %d }", &count),
                  1)
            << answer;
        counted += count;
    }
    EXPECT_EQ(counted, kPlates);
    // Sending the same list again replaces, it does not add.
    send_in_batches("/6184", 10, [](int index) { return "[\"visitor\", \"" + plate_name(index) + "\"]"; });

    std::multiset<std::string> stored;
    ASSERT_EQ(for_each_anpr_list(ANPR_DB_PATH, collect, &stored), 0);
    ASSERT_EQ(stored.size(), static_cast<size_t>(kPlates));
    EXPECT_EQ(stored.count("visitor/" + plate_name(3)), 1u);
    EXPECT_EQ(stored.count("white/" + plate_name(9999)), 1u);
    EXPECT_EQ(stored.count("black/" + plate_name(9998)), 1u);
    EXPECT_EQ(std::set<std::string>(stored.begin(), stored.end()).size(), stored.size());

    const auto deleted =
        send_in_batches("/6183", kPlates, [](int index) { return "\"" + plate_name(index) + "\""; });
    for (const std::string &answer : deleted)
        EXPECT_EQ(answer, "Content-type: text/plain\r\n\r\nOK");
    EXPECT_EQ(count_anpr_lists(ANPR_DB_PATH), 0);
}

TEST_F(AnprPages, ChangedPlatesMoveOntoExistingEntriesAndDecodeTheirText)
{
    call("/6184", R"({"cnt": 3, "plate": [["black", "AB1"], ["white", "CD2"], ["white", "EF%203"]]})");
    // AB1 becomes CD2, which exists: CD2 takes the new type, AB1 goes; a
    // missing element ends the list.
    EXPECT_EQ(call("/6185",
                   R"({"cnt": 3, "plate": [["AB1", "visitor", "CD2"], ["EF%203", "black", "GH%2F4"], 7]})"),
              "Content-type: text/plain\r\n\r\nOK");
    std::multiset<std::string> stored;
    ASSERT_EQ(for_each_anpr_list(ANPR_DB_PATH, collect, &stored), 0);
    EXPECT_EQ(stored, (std::multiset<std::string>{"visitor/CD2", "black/GH/4"}));
}

} // namespace
