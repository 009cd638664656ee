// The access filter table, the audio file list and the diagnosis reply:
// stored counts are held to the table whatever the record says, texts that
// fill their field end with it, and only whole records are decoded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "modules/system/settings.h"
#include "modules/system/settings_records.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

class AccessFilter : public ::testing::Test {
protected:
    void TearDown() override { confdb_close(); }
    TempRoot root_;
};

access_filter_entry filter_entry(int type, const std::string &address)
{
    access_filter_entry entry{};
    entry.address_type = type;
    address.copy(entry.address, sizeof entry.address);
    return entry;
}

TEST_F(AccessFilter, TableRoundTripsAndCountsStayWithinTheTable)
{
    std::vector<access_filter_entry> entries(150);
    for (size_t index = 0; index < entries.size(); ++index)
        entries[index] = filter_entry(static_cast<int>(index % 2), "10.0.0." + std::to_string(index));
    entries[99] = filter_entry(1, std::string(32, '9'));
    ASSERT_EQ(write_access_filter(ZQDB_PATH, entries.data(), 150), 0);
    std::vector<access_filter_entry> read(kAccessFilterEntries + 1, filter_entry(7, "untouched"));
    int count = -1;
    ASSERT_EQ(read_access_filter(ZQDB_PATH, read.data(), &count), kRecFound);
    ASSERT_EQ(count, kAccessFilterEntries);
    EXPECT_EQ(read[1].address_type, 1);
    EXPECT_EQ(std::string(read[1].address), "10.0.0.1");
    EXPECT_EQ(std::string(read[99].address, sizeof read[99].address), std::string(32, '9'));
    EXPECT_EQ(read[100].address_type, 7) << "nothing is copied past the table";

    auto table = std::make_unique<access_filter_table>();
    for (const int32_t stored : {-3, 5000}) {
        *table = access_filter_table{};
        table->count = stored;
        ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecAccessFilter, 0, table.get(), sizeof *table), 0);
        ASSERT_EQ(read_access_filter(ZQDB_PATH, read.data(), &count), kRecFound);
        EXPECT_EQ(count, stored < 0 ? 0 : kAccessFilterEntries) << stored;
    }
    EXPECT_EQ(write_access_filter(ZQDB_PATH, entries.data(), -1), 0);
    ASSERT_EQ(read_access_filter(ZQDB_PATH, read.data(), &count), kRecFound);
    EXPECT_EQ(count, 0);
}

TEST_F(AccessFilter, FullWidthAddressIsAnsweredToItsFieldsEnd)
{
    const access_filter_entry entries[] = {filter_entry(0, std::string(32, 'a')), filter_entry(1, "b")};
    ASSERT_EQ(write_access_filter(ZQDB_PATH, entries, 2), 0);
    CapturedOutput output;
    on_get_access_filter(nullptr);
    const Answer answer(Delivered{output.text(), 0});
    ASSERT_NE(answer.get(), nullptr);
    json_object *list = answer.at("filterList");
    ASSERT_EQ(json_object_array_length(list), 2U);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list, 0), "address"), std::string(32, 'a'));
    EXPECT_EQ(json_int_at(json_object_array_get_idx(list, 0), "address_type"), 0);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list, 1), "address"), "b");
}

template <typename Decoder> Delivered decode(Decoder decoder, const std::string &bytes)
{
    CapturedOutput output;
    g_callback_done.store(0);
    const std::vector<char> payload(bytes.begin(), bytes.end());
    decoder(ReplyReader(payload.empty() ? "" : payload.data(), payload.size()));
    return Delivered{output.text(), g_callback_done.load()};
}

Bytes audio_entry(int id, int enable, const std::string &encoded)
{
    return Bytes(sizeof(audio_file_entry)).i32(0, id).i32(4, enable).text(8, encoded);
}

TEST(AudioFileList, WholeEnabledEntriesOnlyWithTheirNamesDecoded)
{
    std::string full;
    for (int part = 0; part < 32; ++part)
        full += "YWJj"; // "abc"
    Bytes reply = audio_entry(0, 1, full);
    reply.append(audio_entry(1, 0, "eA")).append(audio_entry(2, 1, "eHl6"));
    const std::string bytes = reply.str() + audio_entry(3, 1, "cQ").str().substr(0, 100);
    const Delivered delivered = decode(on_get_audio_file_list_cb, bytes);
    EXPECT_EQ(delivered.done, 1);
    const Answer answer(delivered);
    ASSERT_NE(answer.get(), nullptr) << delivered.out;
    json_object *list = answer.at("audioFileList");
    ASSERT_EQ(json_object_array_length(list), 2U) << "a disabled entry and half an entry are left out";
    std::string abc;
    for (int part = 0; part < 32; ++part)
        abc += "abc";
    EXPECT_EQ(json_int_at(json_object_array_get_idx(list, 0), "id"), 0);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list, 0), "name"), abc);
    EXPECT_EQ(json_int_at(json_object_array_get_idx(list, 1), "id"), 2);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list, 1), "name"), "xyz");
    EXPECT_EQ(answer.num("status"), 0);

    const Answer empty(decode(on_get_audio_file_list_cb, ""));
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(json_object_array_length(empty.at("audioFileList")), 0U);
}

TEST(DiagnosisReply, ShortIsNoReplyAndAFailureIsFailed)
{
    TempRoot root;
    for (const size_t size : {size_t{0}, size_t{7}}) {
        const Delivered delivered = decode(on_export_diagnosis_cb, std::string(size, '\xff'));
        EXPECT_EQ(delivered.out, "") << size;
        EXPECT_EQ(delivered.done, 0) << size;
    }
    const Delivered failed = decode(on_export_diagnosis_cb, Bytes(8).i32(4, -1).str());
    EXPECT_EQ(failed.out, std::string(kTextHead) + "Failed");
    EXPECT_EQ(failed.done, 1);
}

} // namespace
