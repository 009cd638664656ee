#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "front/dispatchreq.h"
#include "test_support.h"

namespace {

std::string g_last_text;
int g_calls = 0;

int record_a(char *text)
{
    g_last_text = text;
    ++g_calls;
    return 11;
}

int record_b(char *) { return 22; }

// A table of n distinct generated paths "/Pxxxxx" (prefix + number).
std::vector<WebRes> make_table(char prefix, int n)
{
    std::vector<WebRes> rows(n);
    for (int i = 0; i < n; ++i) {
        snprintf(rows[i].path, sizeof rows[i].path, "/%c%05d", prefix, i);
        rows[i].handler = record_b;
    }
    return rows;
}

// The registry slot holding `path`, counted from the slot of "/A00000".
int slot_of(const char *path)
{
    int first = -1;
    int found = -1;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        const WebRes *entry = WebResAt(slot);
        if (entry != nullptr && strcmp(entry->path, "/A00000") == 0)
            first = slot;
        if (entry != nullptr && strcmp(entry->path, path) == 0)
            found = slot;
    }
    return first >= 0 && found >= 0 ? found - first : -1;
}

TEST(Dispatch, CallsTheRegisteredHandlerWithTheExactText)
{
    const WebRes table[] = {{"/6100", record_a}, {"/vb.htm", record_b}};
    ASSERT_EQ(WebResRegister(table, 2), 0);
    g_calls = 0;
    char text[] = "{\"a\": 1}";
    EXPECT_EQ(DispatchWebReq("/6100", text), 11);
    EXPECT_EQ(g_last_text, "{\"a\": 1}");
    EXPECT_EQ(DispatchWebReq("/vb.htm", text), 22);

    for (const char *other : {"/6100/", "/VB.HTM", "", "/610", "/61000", "/vb.htmx"})
        DispatchWebReq(other, text);
    DispatchWebReq(nullptr, text);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(FindWebRes(nullptr), nullptr);
    EXPECT_EQ(FindWebRes("/nothing"), nullptr);
    EXPECT_EQ(WebResUnregister(table, 2), 0);
    EXPECT_EQ(FindWebRes("/6100"), nullptr);
}

TEST(Dispatch, RowsFilledAtRunTimeMatchUpToTheirTerminatorOnly)
{
    WebRes table[2] = {};
    memcpy(table[0].path, "/ab\0xyz", 8); // bytes after the terminator
    memcpy(table[1].path, "/123456", 8);  // seven characters and the terminator
    table[0].handler = record_a;
    table[1].handler = record_b;
    ASSERT_EQ(WebResRegister(table, 2), 0);
    EXPECT_EQ(FindWebRes("/ab"), &table[0]);
    EXPECT_EQ(FindWebRes("/ab\0xyz"), &table[0]);
    EXPECT_EQ(FindWebRes("/abx"), nullptr);
    EXPECT_EQ(FindWebRes("/123456"), &table[1]);
    EXPECT_EQ(FindWebRes("/1234567"), nullptr);
    EXPECT_EQ(FindWebRes(""), nullptr); // never a free slot
    EXPECT_EQ(WebResUnregister(table, 2), 0);
    EXPECT_EQ(FindWebRes("/ab"), nullptr);
}

TEST(Dispatch, RejectsNullTablesAndEmptyCounts)
{
    const WebRes table[] = {{"/x", record_a}};
    EXPECT_EQ(WebResRegister(nullptr, 1), -1);
    EXPECT_EQ(WebResRegister(table, 0), -1);
    EXPECT_EQ(WebResRegister(table, -3), -1);
    EXPECT_EQ(WebResUnregister(nullptr, 1), -1);
    EXPECT_EQ(WebResUnregister(table, 0), -1);
}

TEST(Dispatch, CapacityRefusesTheWholeTableAtFiveHundredTwelveAndLogs)
{
    TempRoot root;
    const auto base = make_table('A', 412);
    const auto extra = make_table('B', 100);
    ASSERT_EQ(WebResRegister(base.data(), 412), 0);
    EXPECT_EQ(WebResRegister(extra.data(), 100), -1);
    EXPECT_EQ(FindWebRes("/B00000"), nullptr);
    EXPECT_NE(read_whole_file(root / "mnt/nand/cgi_log.txt").find("  dispatchreq:"), std::string::npos);
    EXPECT_NE(read_whole_file(root / "mnt/nand/cgi_log.txt")
                  .find(" in : [tal debug] WEBREQ exceeded maximum value(MAX_WEBREQ_COUNT)\n"),
              std::string::npos);

    const WebRes one[] = {{"/A00411", record_b}};
    EXPECT_EQ(WebResUnregister(one, 1), 0);
    EXPECT_EQ(WebResRegister(extra.data(), 100), 0); // 411 + 100 = 511 fits
    EXPECT_NE(FindWebRes("/B00099"), nullptr);

    EXPECT_EQ(WebResUnregister(extra.data(), 100), 0);
    EXPECT_EQ(WebResUnregister(base.data(), 412), 0);
}

TEST(Dispatch, UnregisterFreesExactlyItsSlotsAndRegisterRefillsFromTheLowest)
{
    const auto first = make_table('A', 10);
    const auto second = make_table('C', 5);
    ASSERT_EQ(WebResRegister(first.data(), 10), 0);
    ASSERT_EQ(WebResRegister(second.data(), 5), 0);
    EXPECT_EQ(slot_of("/C00000"), 10);

    const WebRes middle[] = {{"/A00003", record_b}, {"/A00007", record_b}};
    ASSERT_EQ(WebResUnregister(middle, 2), 0);
    EXPECT_EQ(FindWebRes("/A00003"), nullptr);
    EXPECT_NE(FindWebRes("/A00004"), nullptr);
    EXPECT_NE(FindWebRes("/C00004"), nullptr);

    const WebRes refill[] = {{"/D1", record_b}, {"/D2", record_b}, {"/D3", record_b}};
    ASSERT_EQ(WebResRegister(refill, 3), 0);
    EXPECT_EQ(slot_of("/D1"), 3);
    EXPECT_EQ(slot_of("/D2"), 7);
    EXPECT_EQ(slot_of("/D3"), 15);

    WebResUnregister(refill, 3);
    WebResUnregister(second.data(), 5);
    WebResUnregister(first.data(), 10);
}

TEST(Dispatch, TablesRemovedWholeOrByPathLeaveExactlyTheOthers)
{
    const auto first = make_table('A', 4);
    const auto second = make_table('E', 3);
    const auto third = make_table('F', 2);
    ASSERT_EQ(WebResRegister(first.data(), 4), 0);
    ASSERT_EQ(WebResRegister(second.data(), 3), 0);
    ASSERT_EQ(WebResRegister(third.data(), 2), 0);

    // The whole second table goes; its slots are the first refilled.
    ASSERT_EQ(WebResUnregister(second.data(), 3), 0);
    EXPECT_EQ(FindWebRes("/E00000"), nullptr);
    EXPECT_EQ(FindWebRes("/E00002"), nullptr);
    EXPECT_NE(FindWebRes("/F00001"), nullptr);
    ASSERT_EQ(WebResRegister(second.data(), 3), 0);
    EXPECT_EQ(slot_of("/E00000"), 4);

    // A row removed by its path, then the rest of its table as a whole.
    const WebRes one[] = {{"/A00001", record_b}};
    ASSERT_EQ(WebResUnregister(one, 1), 0);
    EXPECT_EQ(FindWebRes("/A00001"), nullptr);
    ASSERT_EQ(WebResUnregister(first.data(), 4), 0);
    EXPECT_EQ(FindWebRes("/A00000"), nullptr);
    EXPECT_EQ(FindWebRes("/A00003"), nullptr);
    EXPECT_NE(FindWebRes("/E00001"), nullptr);

    WebResUnregister(second.data(), 3);
    WebResUnregister(third.data(), 2);
    EXPECT_EQ(FindWebRes("/F00000"), nullptr);
}

} // namespace
