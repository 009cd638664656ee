// A test with a device root of its own whose database is closed afterwards,
// and a look at whether a record is stored.
#pragma once

#include <gtest/gtest.h>

#include "platform/confdb/confdb.h"
#include "test_support.h"

class DatabaseTest : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

inline bool stored(int kind, int id)
{
    char byte = 0;
    return confdb_read_record(ZQDB_PATH, kind, id, &byte, sizeof byte) == kRecFound;
}
