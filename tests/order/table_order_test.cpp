// Module tables register before main in their fixed order, whatever order
// the linker put their objects in; rows keep their table order.
#include <gtest/gtest.h>

#include "front/dispatchreq.h"

namespace {

TEST(TableOrder, TablesFillSlotsInRegistrationOrderBeforeMain)
{
    const WebRes *early1 = FindWebRes("/early1");
    const WebRes *early2 = FindWebRes("/early2");
    const WebRes *late1 = FindWebRes("/late1");
    const WebRes *late2 = FindWebRes("/late2");
    ASSERT_NE(early1, nullptr);
    ASSERT_NE(late1, nullptr);
    EXPECT_EQ(early2 - early1, 1);
    EXPECT_EQ(late1 - early1, 2);
    EXPECT_EQ(late2 - late1, 1);
    char text[] = "";
    EXPECT_EQ(DispatchWebReq("/late2", text), 2);
}

} // namespace
