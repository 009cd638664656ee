// Module tables register before main in their fixed order, whatever order
// the linker put their objects in; rows keep their table order.
#include <gtest/gtest.h>

#include <cstring>

#include "front/dispatchreq.h"

namespace {

int slot_of(const char *path)
{
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        const WebRes *entry = WebResAt(slot);
        if (entry != nullptr && strcmp(entry->path, path) == 0)
            return slot;
    }
    return -1;
}

TEST(TableOrder, TablesFillSlotsInRegistrationOrderBeforeMain)
{
    const int early1 = slot_of("/early1");
    ASSERT_GE(early1, 0);
    EXPECT_EQ(slot_of("/early2"), early1 + 1);
    EXPECT_EQ(slot_of("/late1"), early1 + 2);
    EXPECT_EQ(slot_of("/late2"), early1 + 3);
    char text[] = "";
    EXPECT_EQ(DispatchWebReq("/late2", text), 2);
}

} // namespace
