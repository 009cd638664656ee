// People-counting, POS, report backup and face records: tables keep each
// record under its own id, nothing strays outside its range, and the white
// LED and HTTP schedule kinds are the shared action schedules.
#include <gtest/gtest.h>

#include <cstring>

#include "codecs/event_action_db.h"
#include "fake_daemon.h"
#include "modules/camera/camera.h"
#include "modules/camera/peoplecnt_records.h"
#include "db_support.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

using PeopleCntDb = DatabaseTest;

schedule_record *one_section(const char *start)
{
    static schedule_record schedule;
    schedule = schedule_record{};
    snprintf(schedule.days[0].sections[0].start_time, sizeof schedule.days[0].sections[0].start_time, "%s",
             start);
    return &schedule;
}

TEST_F(PeopleCntDb, TablesReadEverySlotWithItsOwnId)
{
    static peoplecnt_group groups[kPeopleCntGroups];
    ASSERT_EQ(read_peoplecnt_settings(ZQDB_PATH, groups), 0);
    for (int group = 0; group < kPeopleCntGroups; ++group)
        EXPECT_EQ(groups[group].groupid, group);
    groups[4].stays = 9;
    ASSERT_EQ(write_peoplecnt_settings(ZQDB_PATH, groups), 0);
    EXPECT_FALSE(stored(kRecPeopleCntGroup, kPeopleCntGroups));
    ASSERT_EQ(read_peoplecnt_settings(ZQDB_PATH, groups), 0);
    EXPECT_EQ(groups[4].stays, 9);

    static pos_setting sources[kPosSources];
    ASSERT_EQ(read_pos_settings(ZQDB_PATH, sources), 0);
    EXPECT_EQ(sources[7].id, 7);

    static report_backup reports[kReportKinds];
    ASSERT_EQ(read_peoplecnt_auto_backup(ZQDB_PATH, reports), 0);
    reports[3].reportType = 11;
    ASSERT_EQ(write_peoplecnt_auto_backup(ZQDB_PATH, reports), 0);
    ASSERT_EQ(read_peoplecnt_auto_backup(ZQDB_PATH, reports), 0);
    EXPECT_EQ(reports[3].reportType, 11) << "a report's kind is a setting, not its slot";
}

TEST_F(PeopleCntDb, RecordsOutsideTheirRangeAreRefused)
{
    pos_setting source{};
    for (const int id : {-1, kPosSources}) {
        source.id = id;
        EXPECT_EQ(write_pos_setting(ZQDB_PATH, &source), -1) << id;
        EXPECT_EQ(read_pos_setting(ZQDB_PATH, &source, id), -1) << id;
    }
    pos_event event{};
    event.id = kFaceChannels;
    EXPECT_EQ(write_face_event(ZQDB_PATH, &event), -1);
    event.id = kPosSources;
    EXPECT_EQ(write_pos_event(ZQDB_PATH, &event), -1);
    peoplecnt_event group{};
    group.groupid = kPeopleCntGroups;
    EXPECT_EQ(write_peoplecnt_event(ZQDB_PATH, &group), -1);
    EXPECT_EQ(write_peoplecnt_schedule(ZQDB_PATH, kScheduleAudible, one_section("x"), -1), -1);
    EXPECT_EQ(write_pos_schedule(ZQDB_PATH, 5, one_section("x"), 0), -1) << "kind 5 is no POS schedule";
    EXPECT_EQ(write_face_schedule(ZQDB_PATH, kScheduleEmail, one_section("x"), kFaceChannels), -1);
    EXPECT_FALSE(stored(kRecPos, 0));
    EXPECT_FALSE(stored(kRecPosEvent, 0));
    EXPECT_FALSE(stored(kRecFaceEvent, 0));
    EXPECT_FALSE(stored(kRecPeopleCntEvent, 0));
    EXPECT_FALSE(stored(kRecPosSchedule, 5 << 8));
}

TEST_F(PeopleCntDb, WhiteAndHttpKindsAreTheSharedActionSchedules)
{
    ASSERT_EQ(write_pos_schedule(ZQDB_PATH, kScheduleWhite, one_section("07:00"), 3), 0);
    ASSERT_EQ(write_pos_schedule(ZQDB_PATH, kScheduleHttp, one_section("09:00"), 3), 0);
    ASSERT_EQ(write_pos_schedule(ZQDB_PATH, kScheduleEffective, one_section("01:00"), 3), 0);
    static schedule_record back;
    ASSERT_EQ(read_whiteled_effective_schedule(ZQDB_PATH, &back, "pos_whiteled_esche", 3), 0);
    EXPECT_STREQ(back.days[0].sections[0].start_time, "07:00");
    ASSERT_EQ(read_http_notification_schedule(ZQDB_PATH, &back, "pos_http_notification_sche", 3), 0);
    EXPECT_STREQ(back.days[0].sections[0].start_time, "09:00");
    ASSERT_EQ(read_pos_schedule(ZQDB_PATH, kScheduleEffective, &back, 3), 0);
    EXPECT_STREQ(back.days[0].sections[0].start_time, "01:00");
    ASSERT_EQ(read_face_schedule(ZQDB_PATH, kScheduleEffective, &back, 3), 0);
    EXPECT_STREQ(back.days[0].sections[0].start_time, "") << "face and POS schedules are kept apart";

    ASSERT_EQ(write_peoplecnt_schedule(ZQDB_PATH, kScheduleWhite, one_section("05:00"), 8), 0);
    ASSERT_EQ(read_whiteled_effective_schedule(ZQDB_PATH, &back, "people_cnt_whiteled_esche", 8), 0);
    EXPECT_STREQ(back.days[0].sections[0].start_time, "05:00");
}

// What a getter answers on one device, sent to a setter on another, stores
// the same records: every key the page reads back is one it may write.
std::string answer_json(int (*getter)(char *), const char *request, const char *key)
{
    std::string text = request;
    CapturedOutput output;
    getter(text.data());
    const Answer answer(Delivered{output.text(), 0});
    json_object *value = answer.at(key);
    return value != nullptr ? json_object_to_json_string_ext(value, JSON_C_TO_STRING_PLAIN) : "";
}

void set_on_core(int (*setter)(char *), std::string text)
{
    CapturedOutput output;
    setter(text.data());
}

TEST(PeopleCntRoundTrip, AnsweredGroupsReportsAndSourcesStoreTheSameRecords)
{
    static peoplecnt_group groups[kPeopleCntGroups];
    static report_backup reports[kReportKinds];
    pos_setting source{};
    for (int group = 0; group < kPeopleCntGroups; ++group) {
        peoplecnt_group &record = groups[group];
        record = peoplecnt_group{};
        record.groupid = group;
        record.enable = 1;
        record.stays = -group;
        record.liveview_auto_reset = 2;
        record.auto_day = 3;
        record.liveview_font_size = 4 + group;
        snprintf(record.name, sizeof record.name, "%s%d", std::string(61, 'n').c_str(), group);
        snprintf(record.auto_day_time, sizeof record.auto_day_time, "23:59:%02d", group);
        std::string(64, '1').copy(record.tri_channels, 64);
        std::string(127, 'g').copy(record.liveview_green_tips, 127);
        std::string(127, 'r').copy(record.liveview_red_tips, 127);
    }
    for (int kind = 0; kind < kReportKinds; ++kind) {
        report_backup &record = reports[kind];
        record = report_backup{};
        record.reportType = kind + 10;
        record.enable = 1;
        std::string(64, '0').replace(kind, 1, "1").copy(record.triChannels, 64);
        std::string(16, '1').copy(record.triGroups, 16);
        record.stayLengthType = 5;
        record.stayLengthValue = -7;
        record.backupDay = 6;
        std::string(31, 't').copy(record.backupTime, 31);
        record.fileFormat = 2;
        record.timeRange = 3;
        record.backupTo = 1;
        record.lineMask = 0x7fffffff;
    }
    source.id = 5;
    source.enable = 1;
    std::string(32, 'p').copy(source.name, 32);
    source.protocol = 2;
    source.connectionMode = 1;
    std::string(63, '9').copy(source.ip, 63);
    int32_t *numbers = &source.liveviewDisplay;
    for (int index = 0; index < 12; ++index)
        numbers[index] = 100 + index;
    std::string(63, 'x').copy(source.privacy1, 63);
    std::string(63, 'y').copy(source.privacy2, 63);
    std::string(63, 'z').copy(source.privacy3, 63);
    source.port = 65535;
    source.clearTime = 30;
    source.nvrPort = 9000;

    std::string group_list;
    std::string report_list;
    std::string source_list;
    {
        TempRoot root;
        ASSERT_EQ(write_peoplecnt_settings(ZQDB_PATH, groups), 0);
        ASSERT_EQ(write_peoplecnt_auto_backup(ZQDB_PATH, reports), 0);
        ASSERT_EQ(write_pos_setting(ZQDB_PATH, &source), 0);
        group_list = answer_json(on_cgi_get_peoplecnt_settings, "", "groups");
        report_list = answer_json(on_cgi_get_report_auto_backup, "", "report");
        source_list = answer_json(on_cgi_get_pos_info, R"({"id": 5})", "pos");
        confdb_close();
    }
    ASSERT_NE(group_list, "");
    ASSERT_NE(report_list, "");
    const JsonPtr sources(json_tokener_parse(source_list.c_str()));
    json_object *entry = json_object_array_get_idx(sources.get(), 5);
    ASSERT_NE(entry, nullptr) << source_list;

    TempRoot root;
    FakeDaemon daemon(root, [](const ReceivedFrame &frame) {
        return std::vector<DaemonReply>{{0, encode_frame(frame.fields.code + 5000, std::string(4, '\0'))}};
    });
    set_on_core(on_cgi_set_peoplecnt_settings, R"({"groups": )" + group_list + "}");
    set_on_core(on_cgi_set_report_auto_backup, R"({"report": )" + report_list + "}");
    set_on_core(on_cgi_set_pos_info, json_object_to_json_string_ext(entry, JSON_C_TO_STRING_PLAIN));

    static peoplecnt_group stored_groups[kPeopleCntGroups];
    ASSERT_EQ(read_peoplecnt_settings(ZQDB_PATH, stored_groups), 0);
    for (int group = 0; group < kPeopleCntGroups; ++group)
        EXPECT_EQ(memcmp(&stored_groups[group], &groups[group], sizeof groups[group]), 0)
            << "group " << group;
    static report_backup stored_reports[kReportKinds];
    ASSERT_EQ(read_peoplecnt_auto_backup(ZQDB_PATH, stored_reports), 0);
    for (int kind = 0; kind < kReportKinds; ++kind)
        EXPECT_EQ(memcmp(&stored_reports[kind], &reports[kind], sizeof reports[kind]), 0)
            << "report " << kind;
    pos_setting stored_source;
    ASSERT_EQ(read_pos_setting(ZQDB_PATH, &stored_source, 5), 0);
    EXPECT_EQ(memcmp(&stored_source, &source, sizeof source), 0);
    confdb_close();
}

} // namespace
