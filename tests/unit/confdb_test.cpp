#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/confdb/confdb.h"
#include "test_support.h"

namespace {

// Every test starts on a fresh device root without a database file, and
// never keeps a connection into the next test.
class ConfDb : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    std::string db_file() const { return root_ / "mnt/nand/app/zqdb.db"; }
    TempRoot root_;
};

std::vector<unsigned char> pattern(size_t size, unsigned seed)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>((i * 131 + seed * 7 + 1) & 0xff);
    return bytes;
}

std::string param_text(const char *key, int size = 256, const char *fallback = "<default>")
{
    std::vector<char> buffer(static_cast<size_t>(size), 'X');
    EXPECT_EQ(get_param_value(ZQDB_PATH, key, buffer.data(), size, fallback), 0);
    return buffer.data();
}

TEST_F(ConfDb, KeysOnAFreshFileUpdateOnlyWhenPresentAndReadBackUnchanged)
{
    EXPECT_EQ(get_param_int(ZQDB_PATH, "max_cameras", 32), 32);
    EXPECT_EQ(param_text("model"), "<default>");
    EXPECT_NE(check_param_key(ZQDB_PATH, "model"), 0);
    EXPECT_EQ(set_param_value(ZQDB_PATH, "model", "X1"), -1);
    EXPECT_EQ(set_param_int(ZQDB_PATH, "max_cameras", 16), -1);
    EXPECT_NE(check_param_key(ZQDB_PATH, "model"), 0) << "a failed update must not create the key";

    EXPECT_EQ(add_param_value(ZQDB_PATH, "model", "NVR 8 \"quoted\" ünï"), 0);
    EXPECT_EQ(check_param_key(ZQDB_PATH, "model"), 0);
    EXPECT_EQ(param_text("model"), "NVR 8 \"quoted\" ünï");
    EXPECT_EQ(set_param_value(ZQDB_PATH, "model", ""), 0);
    EXPECT_EQ(param_text("model"), "") << "an empty value is a value, not the default";
    EXPECT_EQ(add_param_value(ZQDB_PATH, "model", "again"), 0) << "add replaces an existing value";
    EXPECT_EQ(param_text("model"), "again");

    EXPECT_EQ(add_param_value(ZQDB_PATH, "max_cameras", "8"), 0);
    EXPECT_EQ(set_param_int(ZQDB_PATH, "max_cameras", -17), 0);
    EXPECT_EQ(get_param_int(ZQDB_PATH, "max_cameras", 32), -17);
    EXPECT_EQ(param_text("max_cameras"), "-17");
    EXPECT_EQ(add_param_value(ZQDB_PATH, "big", "99999999999"), 0);
    EXPECT_EQ(get_param_int(ZQDB_PATH, "big", 0), INT32_MAX) << "out of range is clamped, not wrapped";
    EXPECT_EQ(add_param_value(ZQDB_PATH, "word", "abc"), 0);
    EXPECT_EQ(get_param_int(ZQDB_PATH, "word", 5), 0);

    // Writes reach the file: a new connection sees them.
    confdb_close();
    EXPECT_EQ(param_text("model"), "again");
    EXPECT_EQ(get_param_int(ZQDB_PATH, "max_cameras", 32), -17);
}

TEST_F(ConfDb, TextReadsAreCutToTheBufferAndAlwaysTerminated)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "software_version", "7x.7.0.9"), 0);
    EXPECT_EQ(param_text("software_version", 4), "7x.");
    EXPECT_EQ(param_text("software_version", 1), "");
    EXPECT_EQ(param_text("software_version", 9), "7x.7.0.9");
    EXPECT_EQ(param_text("absent", 4, "V1.1-long"), "V1.");
    EXPECT_EQ(param_text("absent", 8, nullptr), "") << "no default reads as empty";

    char untouched[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(get_param_value(ZQDB_PATH, "software_version", untouched, 0, "x"), -1);
    EXPECT_EQ(get_param_value(ZQDB_PATH, "software_version", untouched, -5, "x"), -1);
    EXPECT_EQ(memcmp(untouched, "abcd", 4), 0);
    EXPECT_EQ(get_param_value(ZQDB_PATH, "software_version", nullptr, 8, "x"), -1);
}

TEST_F(ConfDb, NullArgumentsGiveDefaultsOrFailures)
{
    char buffer[8];
    EXPECT_EQ(get_param_int(nullptr, "k", 7), 7);
    EXPECT_EQ(get_param_int(ZQDB_PATH, nullptr, 7), 7);
    EXPECT_EQ(get_param_value(nullptr, "k", buffer, sizeof buffer, "d"), 0);
    EXPECT_STREQ(buffer, "d");
    EXPECT_EQ(get_param_value(ZQDB_PATH, nullptr, buffer, sizeof buffer, "e"), 0);
    EXPECT_STREQ(buffer, "e");
    EXPECT_EQ(set_param_value(ZQDB_PATH, "k", nullptr), -1);
    EXPECT_EQ(set_param_value(ZQDB_PATH, nullptr, "v"), -1);
    EXPECT_EQ(set_param_int(nullptr, "k", 1), -1);
    EXPECT_EQ(add_param_value(ZQDB_PATH, nullptr, "v"), -1);
    EXPECT_EQ(add_param_value(ZQDB_PATH, "k", nullptr), -1);
    EXPECT_NE(check_param_key(ZQDB_PATH, nullptr), 0);
    EXPECT_NE(check_param_key(nullptr, "k"), 0);

    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 0, nullptr, 16), -1);
    EXPECT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, nullptr, 16), -1);
    EXPECT_EQ(confdb_write_record(nullptr, kRecUser, 0, buffer, sizeof buffer), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecUser, nullptr, 16, 4, nullptr), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecUser, buffer, 0, 4, nullptr), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecUser, buffer, 8, -1, nullptr), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecUser, nullptr, 8, 0, nullptr), 0);
    EXPECT_EQ(confdb_for_each_param(ZQDB_PATH, nullptr, nullptr), -1);
    EXPECT_EQ(confdb_export(ZQDB_PATH, nullptr), -1);
    EXPECT_EQ(confdb_import(ZQDB_PATH, nullptr), -1);
    EXPECT_EQ(confdb_init_schema(nullptr), -1);
}

TEST_F(ConfDb, RecordsReadBackUnchangedAndAbsentOnesReadAsZero)
{
    std::vector<unsigned char> record(528, 0xAA);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 3, record.data(), record.size()), kRecAbsent);
    EXPECT_EQ(record, std::vector<unsigned char>(528, 0)) << "an absent record reads all zero";

    const std::vector<unsigned char> stored = pattern(26176, 1); // large records stay whole
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecMotion, 5, stored.data(), stored.size()), 0);
    std::vector<unsigned char> back(stored.size());
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, stored);
    // Same id, other kind: separate records.
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 5, back.data(), back.size()), kRecAbsent);

    // A shorter stored record is zero-extended, a longer one cut.
    std::vector<unsigned char> wide(40, 0xEE);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, wide.data(), 8), kRecFound);
    EXPECT_TRUE(std::equal(wide.begin(), wide.begin() + 8, stored.begin()));
    EXPECT_EQ(wide[8], 0xEE) << "nothing beyond the given size is written";
    const std::vector<unsigned char> small = pattern(10, 2);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecDisk, 1, small.data(), small.size()), 0);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecDisk, 1, wide.data(), wide.size()), kRecFound);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), wide.begin()));
    EXPECT_EQ(std::vector<unsigned char>(wide.begin() + 10, wide.end()), std::vector<unsigned char>(30, 0));

    // Rewriting replaces the whole record; deleting makes it absent again.
    const std::vector<unsigned char> other = pattern(26176, 9);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecMotion, 5, other.data(), other.size()), 0);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, other);
    EXPECT_EQ(confdb_delete_record(ZQDB_PATH, kRecMotion, 5), 0);
    EXPECT_EQ(confdb_delete_record(ZQDB_PATH, kRecMotion, 5), 0) << "deleting a missing record succeeds";
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, back.data(), back.size()), kRecAbsent);
    EXPECT_EQ(back, std::vector<unsigned char>(back.size(), 0));
}

TEST_F(ConfDb, ReadRecordsWalksOneKindInIdOrderUpToTheCapacity)
{
    for (const int id : {7, 0, 63, 2}) {
        const std::vector<unsigned char> record = pattern(12, static_cast<unsigned>(id));
        ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecCamera, id, record.data(), record.size()), 0);
    }
    const std::vector<unsigned char> foreign = pattern(12, 99);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecDisk, 1, foreign.data(), foreign.size()), 0);

    std::vector<unsigned char> array(16 * 8, 0x55);
    int ids[8] = {-9, -9, -9, -9, -9, -9, -9, -9};
    ASSERT_EQ(confdb_read_records(ZQDB_PATH, kRecCamera, array.data(), 16, 8, ids), 4);
    const int expected[] = {0, 2, 7, 63};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ids[i], expected[i]);
        const std::vector<unsigned char> want = pattern(12, static_cast<unsigned>(expected[i]));
        EXPECT_TRUE(std::equal(want.begin(), want.end(), array.begin() + i * 16)) << "record " << i;
        EXPECT_EQ(array[i * 16 + 12], 0) << "zero-extended to the record size";
    }
    EXPECT_EQ(ids[4], -9);
    EXPECT_EQ(array[4 * 16], 0x55) << "slots past the count stay as they were";

    std::vector<unsigned char> two(2 * 16);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecCamera, two.data(), 16, 2, nullptr), 2);
    EXPECT_TRUE(std::equal(two.begin() + 16, two.begin() + 28, pattern(12, 2).begin()));
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecMotion, two.data(), 16, 2, nullptr), 0);
}

TEST_F(ConfDb, CopyRecordWritesEveryMaskedChannelButTheSourceInOneStep)
{
    const std::vector<unsigned char> source = pattern(64, 3);
    const std::vector<unsigned char> kept = pattern(64, 4);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecMotion, 2, source.data(), source.size()), 0);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecMotion, 5, kept.data(), kept.size()), 0);

    const uint64_t mask = (1ULL << 0) | (1ULL << 2) | (1ULL << 9) | (1ULL << 63);
    ASSERT_EQ(confdb_copy_record(ZQDB_PATH, kRecMotion, 2, mask), 0);
    std::vector<unsigned char> back(64);
    for (const int id : {0, 2, 9, 63}) {
        EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, id, back.data(), back.size()), kRecFound);
        EXPECT_EQ(back, source) << "channel " << id;
    }
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, kept);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 1, back.data(), back.size()), kRecAbsent);

    // An absent source fails and leaves every channel as it was.
    EXPECT_EQ(confdb_copy_record(ZQDB_PATH, kRecMotion, 40, 1ULL << 5), -1);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 5, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, kept);

    // The id-carrying copy gives each copy its own id field.
    ASSERT_EQ(confdb_copy_record_set_id(ZQDB_PATH, kRecMotion, 2, (1ULL << 5) | (1ULL << 33), 4), 0);
    for (const int id : {5, 33}) {
        ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, id, back.data(), back.size()), kRecFound);
        std::vector<unsigned char> want = source;
        want[4] = static_cast<unsigned char>(id);
        want[5] = want[6] = want[7] = 0;
        EXPECT_EQ(back, want) << "channel " << id;
    }
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 2, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, source) << "the source keeps its own id";
    EXPECT_EQ(confdb_copy_record_set_id(ZQDB_PATH, kRecMotion, 2, 1ULL << 6, 61), -1) << "field past the end";
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 6, back.data(), back.size()), kRecAbsent);
}

TEST_F(ConfDb, MaskedWritesStoreOnlyTheMaskedChannels)
{
    // One record per channel at its own place in an array, and one record
    // for every masked channel.
    std::vector<unsigned char> array(64 * 8);
    for (size_t i = 0; i < array.size(); ++i)
        array[i] = static_cast<unsigned char>(i / 8 + 1);
    ASSERT_EQ(confdb_write_masked(ZQDB_PATH, kRecMotion, array.data(), 8, 8, (1ULL << 1) | (1ULL << 63)), 0);
    std::vector<unsigned char> back(8);
    ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 63, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, std::vector<unsigned char>(8, 64));
    ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 1, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, std::vector<unsigned char>(8, 2));
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecMotion, 0, back.data(), back.size()), kRecAbsent);

    const std::vector<unsigned char> same = pattern(16, 5);
    ASSERT_EQ(
        confdb_write_masked(ZQDB_PATH, kRecDisk, same.data(), same.size(), 0, (1ULL << 4) | (1ULL << 40)), 0);
    std::vector<unsigned char> wide(16);
    for (const int id : {4, 40}) {
        ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecDisk, id, wide.data(), wide.size()), kRecFound);
        EXPECT_EQ(wide, same) << "channel " << id;
    }
    EXPECT_EQ(confdb_write_masked(ZQDB_PATH, kRecDisk, nullptr, 16, 0, 1), -1);
    EXPECT_EQ(confdb_write_masked(ZQDB_PATH, kRecDisk, same.data(), 0, 0, 1), -1);
}

TEST_F(ConfDb, SetRecordsIntChangesOneFieldAndCreatesMissingRecordsUnderTheirId)
{
    const std::vector<unsigned char> stored = pattern(12, 6);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecCamera, 3, stored.data(), stored.size()), 0);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecCamera, 4, stored.data(), 6), 0);
    ASSERT_EQ(
        confdb_set_records_int(ZQDB_PATH, kRecCamera, 12, 8, -2, (1ULL << 3) | (1ULL << 4) | (1ULL << 50)),
        0);

    std::vector<unsigned char> back(12);
    ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 3, back.data(), back.size()), kRecFound);
    std::vector<unsigned char> want = stored;
    want[8] = 0xfe, want[9] = want[10] = want[11] = 0xff;
    EXPECT_EQ(back, want) << "only the field changes";
    ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 4, back.data(), back.size()), kRecFound);
    want.assign(stored.begin(), stored.begin() + 6);
    want.resize(12, 0);
    want[8] = 0xfe, want[9] = want[10] = want[11] = 0xff;
    EXPECT_EQ(back, want) << "a short record is zero-extended";
    ASSERT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 50, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, (std::vector<unsigned char>{50, 0, 0, 0, 0, 0, 0, 0, 0xfe, 0xff, 0xff, 0xff}))
        << "a missing record starts empty under its own id";
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 5, back.data(), back.size()), kRecAbsent);

    EXPECT_EQ(confdb_set_records_int(ZQDB_PATH, kRecCamera, 12, 9, 1, 1ULL << 6), -1) << "field past the end";
    EXPECT_EQ(confdb_set_records_int(ZQDB_PATH, kRecCamera, 2, 0, 1, 1ULL << 6), -1);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecCamera, 6, back.data(), back.size()), kRecAbsent);
}

TEST_F(ConfDb, WritesThatCannotReachTheFileReportFailure)
{
    // The database path is a folder: nothing can be opened.
    std::filesystem::create_directories(db_file());
    char buffer[8];
    EXPECT_EQ(add_param_value(ZQDB_PATH, "k", "v"), -1);
    EXPECT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, "abc", 3), -1);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 0, buffer, sizeof buffer), -1);
    EXPECT_EQ(confdb_read_records(ZQDB_PATH, kRecUser, buffer, sizeof buffer, 1, nullptr), -1);
    EXPECT_EQ(get_param_int(ZQDB_PATH, "k", 4), 4);
    EXPECT_EQ(confdb_init_schema(ZQDB_PATH), -1);
    confdb_close();
    std::filesystem::remove(db_file());

    // A file that is not a database.
    {
        FILE *file = fopen(db_file().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::vector<char> junk(8192, 'j');
        fwrite(junk.data(), 1, junk.size(), file);
        fclose(file);
    }
    EXPECT_EQ(add_param_value(ZQDB_PATH, "k", "v"), -1);
    EXPECT_EQ(set_param_int(ZQDB_PATH, "k", 1), -1);
    EXPECT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, "abc", 3), -1);
    EXPECT_EQ(confdb_copy_record(ZQDB_PATH, kRecUser, 0, 2), -1);
    EXPECT_EQ(confdb_write_masked(ZQDB_PATH, kRecUser, "abcd", 4, 0, 1), -1);
    EXPECT_EQ(confdb_set_records_int(ZQDB_PATH, kRecUser, 4, 0, 1, 1), -1);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 0, buffer, sizeof buffer), -1);
    confdb_close();

    // A read-only file (permissions do not stop root).
    if (geteuid() != 0) {
        std::filesystem::remove(db_file());
        ASSERT_EQ(add_param_value(ZQDB_PATH, "k", "v"), 0);
        confdb_close();
        chmod(db_file().c_str(), 0444);
        EXPECT_EQ(add_param_value(ZQDB_PATH, "k", "w"), -1);
        EXPECT_EQ(param_text("k"), "v");
    }
}

TEST_F(ConfDb, EachRootHasItsOwnDatabaseWithoutReopeningByHand)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "where", "first"), 0);
    {
        TempRoot second;
        EXPECT_EQ(param_text("where"), "<default>");
        ASSERT_EQ(add_param_value(ZQDB_PATH, "where", "second"), 0);
        EXPECT_EQ(param_text("where"), "second");
    }
    setenv("NVR_ROOT", root_.path().c_str(), 1);
    EXPECT_EQ(param_text("where"), "first");
}

TEST_F(ConfDb, ImportRestoresAnExportAndRefusesAnythingElse)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "model", "exported"), 0);
    const std::vector<unsigned char> user = pattern(528, 5);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, user.data(), user.size()), 0);
    const std::string exported = root_ / "tmp/config.bin";
    ASSERT_EQ(confdb_export(ZQDB_PATH, exported.c_str()), 0);
    struct stat info {};
    ASSERT_EQ(stat(exported.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600U) << "the export holds password digests";
    EXPECT_EQ(confdb_export(ZQDB_PATH, exported.c_str()), 0) << "an existing export is replaced";

    ASSERT_EQ(set_param_value(ZQDB_PATH, "model", "changed"), 0);
    ASSERT_EQ(add_param_value(ZQDB_PATH, "later", "kept"), 0);
    const std::vector<unsigned char> changed = pattern(528, 6);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 0, changed.data(), changed.size()), 0);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecUser, 1, changed.data(), changed.size()), 0);

    ASSERT_EQ(confdb_import(ZQDB_PATH, exported.c_str()), 0);
    EXPECT_EQ(param_text("model"), "exported");
    EXPECT_EQ(param_text("later"), "kept") << "keys the export lacks are kept";
    std::vector<unsigned char> back(528);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 0, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, user);
    EXPECT_EQ(confdb_read_record(ZQDB_PATH, kRecUser, 1, back.data(), back.size()), kRecFound);
    EXPECT_EQ(back, changed);

    ASSERT_EQ(set_param_value(ZQDB_PATH, "model", "current"), 0);
    // Not a database, a missing file, and a database of another shape.
    const std::string junk = root_ / "tmp/junk.bin";
    {
        FILE *file = fopen(junk.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fputs("model=evil\n", file);
        fclose(file);
    }
    EXPECT_EQ(confdb_import(ZQDB_PATH, junk.c_str()), -1);
    EXPECT_EQ(confdb_import(ZQDB_PATH, (root_ / "tmp/none.bin").c_str()), -1);
    const std::string other = root_ / "tmp/other.db";
    sqlite3 *handle = nullptr;
    ASSERT_EQ(sqlite3_open(other.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(
                  handle, "CREATE TABLE params(key TEXT, value TEXT); INSERT INTO params VALUES('model','x')",
                  nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);
    EXPECT_EQ(confdb_import(ZQDB_PATH, other.c_str()), -1);

    // An export with one bad row is refused whole: nothing changes.
    ASSERT_EQ(sqlite3_open(exported.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle,
                           "INSERT INTO params VALUES('zz', 'late'); "
                           "INSERT INTO records VALUES(2, 'one', x'00')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);
    EXPECT_EQ(confdb_import(ZQDB_PATH, exported.c_str()), -1);
    EXPECT_EQ(param_text("model"), "current");
    EXPECT_EQ(param_text("zz"), "<default>");
}

// Request processes write at the same time: none of their writes is lost.
TEST_F(ConfDb, ConcurrentProcessesLoseNoWrite)
{
    constexpr int kProcesses = 16;
    constexpr int kKeys = 40;
    constexpr int kRecords = 10;
    ASSERT_EQ(confdb_init_schema(ZQDB_PATH), 0);
    confdb_close(); // never hand a connection across fork

    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kKeys || i < kRecords; ++i) {
                char key[32];
                char value[32];
                snprintf(key, sizeof key, "p%d_k%d", p, i);
                snprintf(value, sizeof value, "v%d_%d", p, i);
                if (i < kKeys && add_param_value(ZQDB_PATH, key, value) != 0)
                    ++failures;
                if (i < kKeys && set_param_int(ZQDB_PATH, key, p * 1000 + i) != 0)
                    ++failures;
                const std::vector<unsigned char> record = pattern(600, static_cast<unsigned>(p * 100 + i));
                if (i < kRecords &&
                    confdb_write_record(ZQDB_PATH, 100 + p, i, record.data(), record.size()) != 0)
                    ++failures;
            }
            confdb_close();
            _exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a child saw a failed write";
    }

    std::vector<unsigned char> back(600);
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kKeys; ++i) {
            char key[32];
            snprintf(key, sizeof key, "p%d_k%d", p, i);
            EXPECT_EQ(get_param_int(ZQDB_PATH, key, -1), p * 1000 + i) << key;
        }
        for (int i = 0; i < kRecords; ++i) {
            EXPECT_EQ(confdb_read_record(ZQDB_PATH, 100 + p, i, back.data(), back.size()), kRecFound);
            EXPECT_EQ(back, pattern(600, static_cast<unsigned>(p * 100 + i))) << p << "/" << i;
        }
    }
}

// A child that inherits an open connection opens its own instead.
TEST_F(ConfDb, ForkedChildDoesNotUseItsParentsConnection)
{
    ASSERT_EQ(add_param_value(ZQDB_PATH, "parent", "1"), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const bool ok =
            add_param_value(ZQDB_PATH, "child", "2") == 0 && get_param_int(ZQDB_PATH, "parent", 0) == 1;
        confdb_close();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(get_param_int(ZQDB_PATH, "child", 0), 2);
    EXPECT_EQ(add_param_value(ZQDB_PATH, "parent", "3"), 0) << "the parent's connection still works";
    EXPECT_EQ(get_param_int(ZQDB_PATH, "parent", 0), 3);
}

} // namespace
