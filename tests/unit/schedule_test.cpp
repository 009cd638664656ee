#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/schedule.h"

namespace {

// json-c's default form: "[ a, b ]" and "{ "k": v, ... }".
std::string list_text(const std::vector<std::string> &items)
{
    std::string text = "[ ";
    for (size_t index = 0; index < items.size(); ++index)
        text += (index > 0 ? ", " : "") + items[index];
    return text + " ]";
}

std::string section_text(const std::string &start, const std::string &end, const int *action)
{
    std::string text = "{ \"startTime\": \"" + start + "\", \"endTime\": \"" + end + "\"";
    if (action != nullptr)
        text += ", \"actionType\": " + std::to_string(*action);
    return text + " }";
}

// Expected output: `shown(day, section, start, end, action)` fills in the
// values of each of the 8 x 12 sections; without an action for the camera
// form.
template <typename Fill> std::string schedule_text(bool with_action, Fill shown)
{
    std::vector<std::string> days;
    for (int day = 0; day < kScheduleDays; ++day) {
        std::vector<std::string> sections;
        for (int index = 0; index < kScheduleWebSections; ++index) {
            std::string start;
            std::string end;
            int action = 0;
            shown(day, index, &start, &end, &action);
            sections.push_back(section_text(start, end, with_action ? &action : nullptr));
        }
        days.push_back(list_text(sections));
    }
    return list_text(days);
}

std::string encoded(json_object *array)
{
    const JsonPtr owner(array);
    return owner != nullptr ? json_object_to_json_string(owner.get()) : "(none)";
}

std::string tag_of(int day, int index) { return std::to_string(day) + "." + std::to_string(index); }

// The positional input form: `days` day arrays of `sections` sections.
std::string input_text(const char *key, int days, int sections)
{
    std::vector<std::string> day_items;
    for (int day = 0; day < days; ++day) {
        std::vector<std::string> items;
        for (int index = 0; index < sections; ++index) {
            const std::string tag = tag_of(day, index);
            std::string item = "[\"s";
            item.append(tag).append("\", \"e").append(tag).append("\", ");
            item.append(std::to_string(day * 100 + index)).append("]");
            items.push_back(item);
        }
        day_items.push_back(list_text(items));
    }
    return std::string("{\"") + key + "\": " + list_text(day_items) + "}";
}

struct Filled {
    schedule_record record;
    Filled() { memset(&record, 'x', sizeof record); }
};

JsonPtr parse(const std::string &text) { return JsonPtr(get_request_tokener_json_object(text.c_str())); }

bool all_zero(const void *data, size_t size)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (size_t index = 0; index < size; ++index) {
        if (bytes[index] != 0)
            return false;
    }
    return true;
}

TEST(ScheduleCodec, EncodesEightDaysOfTwelveKeyedSections)
{
    schedule_record record{};
    strcpy(record.days[0].sections[0].start_time, "08:00");
    strcpy(record.days[0].sections[0].end_time, "12:00");
    record.days[0].sections[0].action_type = 1;
    memset(record.days[7].sections[11].start_time, 'a', kScheduleTimeSize); // no terminator
    strcpy(record.days[7].sections[11].end_time, "23:59");
    record.days[7].sections[11].action_type = -3;
    strcpy(record.days[0].sections[12].start_time, "not shown");
    const std::string expected =
        schedule_text(true, [](int day, int index, std::string *start, std::string *end, int *action) {
            if (day == 0 && index == 0) {
                *start = "08:00", *end = "12:00", *action = 1;
            } else if (day == 7 && index == 11) {
                *start = std::string(32, 'a'), *end = "23:59", *action = -3;
            }
        });
    EXPECT_EQ(encoded(get_schedule_json_object(&record)), expected);
    EXPECT_EQ(encoded(get_schedule_json_object_ex(&record)), expected);
    EXPECT_EQ(get_schedule_json_object(nullptr), nullptr);
}

TEST(ScheduleCodec, DecodeFillsSevenGivenDaysAndClearsEverythingElse)
{
    const JsonPtr request = parse(input_text("effective", 7, 12));
    Filled plain;
    Filled ex;
    ASSERT_EQ(get_schedule_by_json(request.get(), "effective", &plain.record), 0);
    ASSERT_EQ(get_schedule_by_json_ex(request.get(), "effective", &ex.record), 0);
    EXPECT_EQ(memcmp(&plain.record, &ex.record, sizeof plain.record), 0);
    for (int day = 0; day < 7; ++day) {
        const schedule_day &slot = plain.record.days[day];
        for (int index = 0; index < kScheduleWebSections; ++index) {
            EXPECT_EQ(std::string(slot.sections[index].start_time), "s" + tag_of(day, index));
            EXPECT_EQ(std::string(slot.sections[index].end_time), "e" + tag_of(day, index));
            EXPECT_EQ(slot.sections[index].action_type, day * 100 + index);
        }
        EXPECT_TRUE(all_zero(&slot.sections[kScheduleWebSections],
                             sizeof(schedule_day) - kScheduleWebSections * sizeof(schedule_section)))
            << day;
    }
    EXPECT_TRUE(all_zero(&plain.record.days[7], sizeof(schedule_day)));
}

TEST(ScheduleCodec, DecodeTakesShortOrWrongTypedPartsAsEmpty)
{
    const JsonPtr request = parse(R"({"audible": [
        [["08:00"], [], "junk", [null, 5, "2"], [{"a": 1}, ["x"], {"b": 2}],
         ["0123456789012345678901234567890123456789", "e", 1.9], ["s", "e", "bad"]],
        5, null, {"0": []}]})");
    Filled filled;
    ASSERT_EQ(get_schedule_by_json(request.get(), "audible", &filled.record), 0);
    const schedule_section *sections = filled.record.days[0].sections;
    const struct {
        const char *start;
        const char *end;
        int action;
    } expected[] = {{"08:00", "", 0}, {"", "", 0}, {"", "", 0},
                    {"", "5", 2},     {"", "", 0}, {"0123456789012345678901234567890", "e", 1},
                    {"s", "e", 0}};
    for (size_t index = 0; index < std::size(expected); ++index) {
        EXPECT_STREQ(sections[index].start_time, expected[index].start) << index;
        EXPECT_STREQ(sections[index].end_time, expected[index].end) << index;
        EXPECT_EQ(sections[index].action_type, expected[index].action) << index;
    }
    EXPECT_TRUE(all_zero(&sections[std::size(expected)],
                         sizeof(schedule_record) - std::size(expected) * sizeof(schedule_section)));
}

TEST(ScheduleCodec, DecodeWithoutAnArrayUnderTheKeyLeavesTheRecord)
{
    Filled before;
    const JsonPtr request = parse(R"({"n": 5, "o": {"a": []}, "z": null, "t": "[]"})");
    for (const char *key : {"missing", "n", "o", "z", "t"}) {
        Filled filled;
        EXPECT_EQ(get_schedule_by_json(request.get(), key, &filled.record), -1) << key;
        EXPECT_EQ(get_schedule_by_json_ipc(request.get(), key, &filled.record), -1) << key;
        EXPECT_EQ(memcmp(&filled.record, &before.record, sizeof before.record), 0) << key;
    }
    Filled filled;
    const JsonPtr valid = parse(R"({"effective": []})");
    EXPECT_EQ(get_schedule_by_json(nullptr, "effective", &filled.record), -1);
    EXPECT_EQ(get_schedule_by_json(valid.get(), nullptr, &filled.record), -1);
    EXPECT_EQ(get_schedule_by_json(valid.get(), "effective", nullptr), -1);
    EXPECT_EQ(memcmp(&filled.record, &before.record, sizeof before.record), 0);
    EXPECT_EQ(get_schedule_by_json(valid.get(), "effective", &filled.record), 0);
    EXPECT_TRUE(all_zero(&filled.record, sizeof filled.record));
}

TEST(ScheduleCamera, EncodeBlanksDisabledDaysAndOmitsTheAction)
{
    schedule_record record{};
    for (int day = 0; day < kScheduleDays; ++day) {
        record.days[day].day_enable = day % 2 == 0 ? 1 : 0;
        strcpy(record.days[day].sections[1].start_time, "10:00");
        strcpy(record.days[day].sections[1].end_time, "11:00");
        record.days[day].sections[1].action_type = 4;
    }
    const std::string expected =
        schedule_text(false, [](int day, int index, std::string *start, std::string *end, int *) {
            if (day % 2 == 0 && index == 1)
                *start = "10:00", *end = "11:00";
        });
    EXPECT_EQ(encoded(get_schedule_json_object_ipc(&record)), expected);
}

TEST(ScheduleCamera, DecodeEnablesSevenDaysOfTenSections)
{
    const JsonPtr request = parse(input_text("schedule", 8, 12));
    Filled filled;
    ASSERT_EQ(get_schedule_by_json_ipc(request.get(), "schedule", &filled.record), 0);
    for (int day = 0; day < 7; ++day) {
        const schedule_day &slot = filled.record.days[day];
        EXPECT_EQ(slot.day_enable, 1);
        EXPECT_EQ(slot.day_action_type, 0);
        for (int index = 0; index < kScheduleIpcSections; ++index) {
            EXPECT_EQ(std::string(slot.sections[index].start_time), "s" + tag_of(day, index));
            EXPECT_EQ(std::string(slot.sections[index].end_time), "e" + tag_of(day, index));
            EXPECT_EQ(slot.sections[index].action_type, 0);
        }
        EXPECT_TRUE(all_zero(&slot.sections[kScheduleIpcSections],
                             (kScheduleSections - kScheduleIpcSections) * sizeof(schedule_section)));
    }
    EXPECT_TRUE(all_zero(&filled.record.days[7], sizeof(schedule_day)));
}

// A record page's week: day d has its whole-day switch d % 2 and action
// d + 10, and `plans` plans tagged by day and slot.
std::string record_week_input(int plans)
{
    std::vector<std::string> days;
    for (int day = 0; day < kScheduleDays; ++day) {
        std::vector<std::string> items;
        for (int index = 0; index < plans; ++index) {
            const std::string tag = tag_of(day, index);
            items.push_back("[\"s" + tag + "\", \"e" + tag + "\", " + std::to_string(day * 100 + index) +
                            "]");
        }
        days.push_back("{\"wholedayEnable\": " + std::to_string(day % 2) + ", \"wholedayActionType\": " +
                       std::to_string(day + 10) + ", \"plans\": " + list_text(items) + "}");
    }
    return "{\"schedule\": " + list_text(days) + "}";
}

TEST(ScheduleRecord, AWeekDecodedAndEncodedReadsBackAsSent)
{
    const JsonPtr request = parse(record_week_input(kScheduleSections));
    Filled filled;
    ASSERT_EQ(get_record_schedule_by_json(request.get(), "schedule", &filled.record), 0);

    std::vector<std::string> days;
    for (int day = 0; day < kScheduleDays; ++day) {
        std::vector<std::string> plans;
        for (int index = 0; index < kScheduleSections; ++index) {
            const std::string tag = tag_of(day, index);
            const int action = day * 100 + index;
            plans.push_back(section_text("s" + tag, "e" + tag, &action));
        }
        // The whole-day action is kept only for a day whose switch is on.
        const int whole = day % 2;
        days.push_back("{ \"wholedayEnable\": " + std::to_string(whole) + ", \"wholedayActionType\": " +
                       std::to_string(whole != 0 ? day + 10 : 0) + ", \"plans\": " + list_text(plans) + " }");
    }
    EXPECT_EQ(encoded(get_record_schedule_json_object(&filled.record)), list_text(days));
    EXPECT_EQ(get_record_schedule_json_object(nullptr), nullptr);
}

TEST(ScheduleRecord, DecodeTakesMissingOrWrongTypedPartsAsEmpty)
{
    const JsonPtr request = parse(R"({"schedule": ["day", {"wholedayEnable": 3}, {"plans": 5},
        {"wholedayEnable": "1", "wholedayActionType": "4", "plans": [["a", "b", 1], null, ["c"], 7, [1, 2, "x"]]}]})");
    Filled filled;
    ASSERT_EQ(get_record_schedule_by_json(request.get(), "schedule", &filled.record), 0);
    const schedule_record &record = filled.record;
    EXPECT_TRUE(all_zero(&record.days[0], sizeof(schedule_day)));
    EXPECT_EQ(record.days[1].day_enable, 3);
    EXPECT_EQ(record.days[1].day_action_type, 0);
    EXPECT_TRUE(all_zero(&record.days[2], sizeof(schedule_day)));
    const schedule_day &day = record.days[3];
    EXPECT_EQ(day.day_enable, 1);
    EXPECT_EQ(day.day_action_type, 4);
    EXPECT_EQ(std::string(day.sections[0].start_time), "a");
    EXPECT_EQ(std::string(day.sections[0].end_time), "b");
    EXPECT_EQ(day.sections[0].action_type, 1);
    EXPECT_TRUE(all_zero(&day.sections[1], sizeof(schedule_section)));
    EXPECT_EQ(std::string(day.sections[2].start_time), "c");
    EXPECT_EQ(day.sections[2].end_time[0], '\0');
    EXPECT_TRUE(all_zero(&day.sections[3], sizeof(schedule_section)));
    EXPECT_EQ(std::string(day.sections[4].start_time), "1");
    EXPECT_EQ(day.sections[4].action_type, 0);
    EXPECT_TRUE(all_zero(&record.days[4], 4 * sizeof(schedule_day)));

    // Plans past the 48th are not read; no day array leaves the record.
    const JsonPtr longer = parse(record_week_input(kScheduleSections + 2));
    ASSERT_EQ(get_record_schedule_by_json(longer.get(), "schedule", &filled.record), 0);
    EXPECT_EQ(filled.record.days[7].sections[47].action_type, 747);
    const JsonPtr none = parse(R"({"schedule": {"0": 1}})");
    Filled untouched;
    EXPECT_EQ(get_record_schedule_by_json(none.get(), "schedule", &untouched.record), -1);
    EXPECT_EQ(untouched.record.days[0].day_enable, 0x78787878);
}

TEST(ScheduleCopyFlag, MaskReadsOnlyCountedIntegerElementsInRange)
{
    const struct {
        const char *request;
        uint64_t mask;
    } cases[] = {
        {R"({"copyCnt": 3, "copyChn": [0, 5, 70]})", 0x21},
        {R"({"copyCnt": 0, "copyChn": [1]})", 0},
        {R"({"copyCnt": -2, "copyChn": [1]})", 0},
        {R"({"copyChn": [1]})", 0},
        {R"({"copyCnt": null, "copyChn": [1]})", 0},
        {R"({"copyCnt": 2, "copyChn": [3, 4, 5]})", 0x18},
        {R"({"copyCnt": "2", "copyChn": [3, 4]})", 0x18},
        // A count past the array's end reads no missing element as channel 0.
        {R"({"copyCnt": 10, "copyChn": [1, 2]})", 0x6},
        {R"({"copyCnt": 9, "copyChn": ["x", null, {}, [0], -1, 64, 63, "7", 2.5]})",
         (uint64_t{1} << 63) | 0x84},
        {R"({"copyCnt": 3, "copyChn": 5})", 0},
        {R"({"copyCnt": 3, "copyChn": {"0": 1}})", 0},
    };
    for (const auto &item : cases) {
        const JsonPtr request = parse(item.request);
        ASSERT_NE(request, nullptr) << item.request;
        EXPECT_EQ(get_copy_flag_by_json(request.get(), "copyChn", "copyCnt"), item.mask) << item.request;
    }
    const JsonPtr request = parse(R"({"copyCnt": 1, "copyChn": [1]})");
    EXPECT_EQ(get_copy_flag_by_json(request.get(), "copyChn", "copyCnt"), 2U);
    EXPECT_EQ(get_copy_flag_by_json(nullptr, "copyChn", "copyCnt"), 0U);
    EXPECT_EQ(get_copy_flag_by_json(request.get(), nullptr, "copyCnt"), 0U);
    EXPECT_EQ(get_copy_flag_by_json(request.get(), "copyChn", nullptr), 0U);
}

} // namespace
