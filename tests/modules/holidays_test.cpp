// The holidays and the channel lists of the recording setters: refused
// requests change nothing and tell nobody, names are kept within their
// field, and a channel list never yields more than 64 channels nor one
// outside 0..63.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "codecs/json_util.h"
#include "core_exchange.h"
#include "modules/record/record.h"

namespace {

using Holidays = CoreExchangeTest;

// The holiday `id` of the list answer.
std::string listed_name(int id)
{
    CapturedOutput output;
    on_get_holiday_info(nullptr);
    const Answer answer(Delivered{output.text(), 0});
    json_object *list = answer.at("holidays");
    if (json_object_array_length(list) != kHolidayCount)
        return "(not 32 holidays)";
    return json_text_at(json_object_array_get_idx(list, id), "name");
}

TEST_F(Holidays, RequestsOutsideTheRulesAnswerNothingAndChangeNothing)
{
    holiday_record old{};
    old.id = 0;
    old.enable = 1;
    snprintf(old.name, sizeof old.name, "Kept");
    ASSERT_EQ(write_holiday(ZQDB_PATH, &old), 0);
    for (const char *text : {
             R"({"id": -1, "enable": 1, "type": 0})",
             R"({"id": 32, "enable": 1, "type": 0})",
             R"({"id": 0, "enable": 2, "type": 0})",
             R"({"id": 0, "enable": -1, "type": 0})",
             R"({"id": 0, "enable": 1, "type": -1})",
             R"({"enable": 1, "type": 0})",
             R"({"id": 0, "type": 0})",
             R"({"id": 0, "enable": 1})",
             R"({"id": null, "enable": 1, "type": 0})",
             R"({"id": 0, "enable": 1, "type": 0)",
             "",
         }) {
        const Exchange refused = exchange(root_, on_set_holiday_info, text, 0);
        EXPECT_EQ(refused.out, "") << text;
        EXPECT_TRUE(refused.frames.empty()) << text;
    }
    EXPECT_EQ(listed_name(0), "Kept");
    EXPECT_FALSE(stored(kRecHoliday, 32));
    EXPECT_FALSE(stored(kRecHoliday, -1));
}

TEST_F(Holidays, BoundaryIdsAndValuesRoundTripAndNamesEndWithinTheirField)
{
    const std::string hostile = "New \\\"Year\\\";$(reboot)`id`\\n../x";
    const std::string text = R"({"id": 31, "enable": 0, "type": 2147483647, "name": ")" + hostile +
                             R"(", "startYear": -2147483648, "endWDay": 6})";
    const Exchange set = exchange(root_, on_set_holiday_info, text, 2);
    EXPECT_EQ(set.out, text_answer("OK"));
    ASSERT_EQ(set.frames.size(), 2u);
    EXPECT_EQ(set.frames[0].fields.code, kMsgHolidaysChanged);

    CapturedOutput output;
    on_get_holiday_info(nullptr);
    const Answer answer(Delivered{output.text(), 0});
    json_object *last = json_object_array_get_idx(answer.at("holidays"), 31);
    EXPECT_EQ(json_int_at(last, "id"), 31);
    EXPECT_EQ(json_int_at(last, "enable"), 0);
    EXPECT_EQ(json_text_at(last, "name"), "New \"Year\";$(reboot)`id`\n../x");
    EXPECT_EQ(json_int_at(last, "type"), INT_MAX);
    EXPECT_EQ(json_int_at(last, "startYear"), INT_MIN);
    EXPECT_EQ(json_int_at(last, "startMon"), 0) << "a missing date is 0";
    EXPECT_EQ(json_int_at(last, "endWDay"), 6);

    // A name longer than the field keeps its first 255 characters.
    const std::string longer =
        R"({"id": 0, "enable": 1, "type": 0, "name": ")" + std::string(300, 'h') + R"("})";
    EXPECT_EQ(exchange(root_, on_set_holiday_info, longer, 2).out, text_answer("OK"));
    EXPECT_EQ(listed_name(0), std::string(kHolidayNameSize - 1, 'h'));

    // A stored name that fills its field is answered up to the field's end,
    // not into the enable and date fields after it.
    holiday_record full{};
    full.id = 7;
    memset(full.name, 'f', sizeof full.name);
    full.enable = 0x41414141;
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecHoliday, 7, &full, sizeof full), 0);
    EXPECT_EQ(listed_name(7), std::string(kHolidayNameSize, 'f'));
}

TEST_F(Holidays, StoredRecordsUnderIdsOutsideTheListAreLeftOut)
{
    holiday_record stray{};
    stray.id = 3;
    snprintf(stray.name, sizeof stray.name, "Stray");
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecHoliday, 40, &stray, sizeof stray), 0);
    ASSERT_EQ(confdb_write_record(ZQDB_PATH, kRecHoliday, -2, &stray, sizeof stray), 0);
    holiday_record wrong_id{};
    wrong_id.id = 99;
    ASSERT_EQ(write_holiday(ZQDB_PATH, &wrong_id), -1);
    EXPECT_FALSE(stored(kRecHoliday, 99));
    holiday_record holidays[kHolidayCount];
    int count = -1;
    ASSERT_EQ(read_holidays(ZQDB_PATH, holidays, &count), 0);
    EXPECT_EQ(count, kHolidayCount);
    for (int id = 0; id < kHolidayCount; ++id) {
        EXPECT_EQ(holidays[id].id, id);
        EXPECT_EQ(holidays[id].name[0], '\0') << id;
    }
}

TEST(RecordChannels, ListsYieldAtMost64ChannelsAllWithin0To63)
{
    std::string many = R"({"chnid": [)";
    for (int index = 0; index < 100; ++index)
        many += std::to_string(index % 64) + ",";
    many += "5]}";
    const JsonPtr request(json_tokener_parse(many.c_str()));
    RecordChannels channels{};
    record_request_channels(request.get(), 100, &channels);
    EXPECT_EQ(channels.count, kRecordChannels) << "never past 64 whatever cnt says";
    EXPECT_EQ(channels.channels[63], 63);

    const JsonPtr mixed(json_tokener_parse(R"({"chnid": [-1, 64, 3, null, {}, 2147483647, 0, 9]})"));
    record_request_channels(mixed.get(), 7, &channels);
    ASSERT_EQ(channels.count, 2);
    EXPECT_EQ(channels.channels[0], 3);
    EXPECT_EQ(channels.channels[1], 0);
    EXPECT_EQ(channels.last, 0) << "the seventh element is the last one read";

    for (const int cnt : {0, -1, INT_MIN}) {
        record_request_channels(mixed.get(), cnt, &channels);
        EXPECT_EQ(channels.count, 0) << cnt;
        EXPECT_EQ(channels.last, 0) << cnt;
    }
    const JsonPtr not_a_list(json_tokener_parse(R"({"chnid": 5})"));
    record_request_channels(not_a_list.get(), 1, &channels);
    EXPECT_EQ(channels.count, 0);
}

TEST(RecordChannels, ChannelTextsAreDecimalNumbersFrom0To63)
{
    EXPECT_EQ(record_channel_of("0"), 0);
    EXPECT_EQ(record_channel_of("63"), 63);
    for (const char *text : {"64", "-1", "", "x", "4294967296", "2147483648"})
        EXPECT_EQ(record_channel_of(text), -1) << text;
    EXPECT_EQ(record_channel_of(nullptr), -1);
}

} // namespace
