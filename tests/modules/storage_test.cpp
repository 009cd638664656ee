// The storage replies and requests: replies too short for their decoder,
// counts that claim more than the reply or the record holds, text fields
// that fill their width, the disk ports a request may name, and network
// disk settings carried from the request into the database and back out
// through the disk list.
#include <gtest/gtest.h>
#include <json-c/json.h>

#include <cstring>
#include <string>
#include <vector>

#include "codecs/disk_db.h"
#include "core_exchange.h"
#include "modules/storage/storage.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

namespace {

Delivered deliver(int32_t code, const std::string &payload)
{
    return deliver_reply(on_storage_ipc_callback, code, payload);
}

json_object *item(json_object *array, size_t index) { return json_object_array_get_idx(array, index); }

using StorageTest = CoreExchangeTest;

TEST_F(StorageTest, ShortRepliesAreNoReplyAndWholeOnesAnswer)
{
    const ReplySize needed[] = {
        {8434, 4}, {8402, 4}, {8420, 4}, {8421, 4}, {8423, 4}, {8424, 4},  {8425, 4},  {8496, 4},
        {8508, 4}, {8530, 4}, {8439, 4}, {8507, 4}, {8440, 4}, {8403, 40}, {8431, 8},  {8475, 4},
        {8529, 8}, {8536, 4}, {6316, 4}, {8535, 4}, {8537, 4}, {6317, 44}, {8540, 12}, {8457, 184},
    };
    expect_short_replies_ignored(on_storage_ipc_callback, needed);
    EXPECT_EQ(deliver(8433, "").out, "") << "a disk report without payload is no reply";
    EXPECT_EQ(deliver(8432, std::string(464, '\0')).out, "") << "another code is not answered";
}

TEST_F(StorageTest, ShareListAndQuotaCountsStopAtWhatTheReplyAndTheRecordHold)
{
    // Two whole paths, the first filling its 256 bytes, and part of a third;
    // the count claims five.
    Bytes shares(4 + 2 * 256 + 100);
    shares.i32(0, 5).text(4, std::string(256, 'p')).text(4 + 256, "/b").text(4 + 512, "/c");
    const Answer listed(deliver(8440, shares.str()));
    ASSERT_NE(listed.get(), nullptr);
    EXPECT_EQ(listed.text("resultString"), "OK");
    ASSERT_EQ(json_object_array_length(listed.at("NAS")), 2u);
    EXPECT_EQ(json_text_at(item(listed.at("NAS"), 0), "filePath"), std::string(256, 'p'));
    EXPECT_EQ(json_text_at(item(listed.at("NAS"), 1), "filePath"), "/b");
    const Answer negative(deliver(8440, Bytes(4 + 256).i32(0, -1).text(4, "/a").str()));
    EXPECT_EQ(negative.text("resultString"), "NO");
    EXPECT_EQ(json_object_array_length(negative.at("NAS")), 0u);

    // Twenty entries sent, forty claimed: the record has room for sixteen.
    Bytes quota(8 + 20 * 20);
    quota.i32(0, 1).i32(4, 40);
    for (int i = 0; i < 20; ++i)
        quota.i32(8 + i * 20, 0x100 + i).i32(12 + i * 20, 10 * i).i32(16 + i * 20, 20 * i);
    quota.i32(8 + 15 * 20 + 12, 7).i32(8 + 15 * 20 + 16, 9);
    const Answer capped(deliver(8529, quota.str()));
    ASSERT_NE(capped.get(), nullptr);
    EXPECT_EQ(capped.keys(), (std::vector<std::string>{"enable", "quota_array", "channel", "disk", "max_chan",
                                                       "group_enable"}));
    json_object *entries = capped.at("quota_array");
    ASSERT_EQ(json_object_array_length(entries), 16u);
    json_object *last = item(entries, 15);
    EXPECT_EQ(json_keys(last), (std::vector<std::string>{"channel", "video_used", "video_quota",
                                                         "picture_used", "picture_quota"}));
    EXPECT_EQ(json_int_at(last, "channel"), 15) << "the channel is the entry's low byte";
    EXPECT_EQ(json_int_at(last, "video_quota"), 150);
    EXPECT_EQ(json_int_at(last, "picture_quota"), 300);
    EXPECT_EQ(json_int_at(last, "video_used"), 7);
    EXPECT_EQ(json_int_at(last, "picture_used"), 9);

    // Three claimed, two whole entries and part of a third sent.
    const Answer held(deliver(8529, Bytes(8 + 2 * 20 + 19).i32(4, 3).i32(8 + 20, 63).str()));
    ASSERT_EQ(json_object_array_length(held.at("quota_array")), 2u);
    EXPECT_EQ(json_int_at(item(held.at("quota_array"), 1), "channel"), 63);
}

TEST_F(StorageTest, BackupProgressReadsItsTextUpToItsWidth)
{
    Bytes status(44);
    const float percent = 37.5f;
    status.i32(0, 2).text(4, std::string(32, 't')).i32(40, 1000);
    std::string bytes = status.str();
    memcpy(&bytes[36], &percent, sizeof percent);
    const Answer answer(deliver(6317, bytes));
    ASSERT_NE(answer.get(), nullptr);
    EXPECT_EQ(answer.keys(), (std::vector<std::string>{"status", "percent", "last_time", "capacity"}));
    EXPECT_EQ(answer.num("status"), 2);
    EXPECT_EQ(answer.text("percent"), "37.5");
    EXPECT_EQ(answer.text("last_time"), std::string(32, 't'));
    EXPECT_EQ(answer.num("capacity"), 1000);
}

TEST_F(StorageTest, DiskPortListsTakeTheFirstNumPortsThatNameADisk)
{
    const auto ports = [](const char *text) {
        json_object *request = json_tokener_parse(text);
        const nas_port_list list = requested_disk_ports(request);
        json_object_put(request);
        return std::vector<int>(list.port, list.port + list.count);
    };
    EXPECT_EQ(ports(R"({"num": 3, "port": [1, 2, 3, 4]})"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ports(R"({"num": 6, "port": [1, "x", 0, 37, -1, 36]})"), (std::vector<int>{1, 36}))
        << "elements that name no disk slot are left out";
    EXPECT_EQ(ports(R"({"num": 9, "port": [5]})"), (std::vector<int>{5}))
        << "a count past the array's end reads no port 0";
    EXPECT_TRUE(ports(R"({"num": 2, "port": 3})").empty());
    EXPECT_TRUE(ports(R"({"port": [1, 2]})").empty());
    EXPECT_TRUE(ports(R"({"num": -1, "port": [1, 2]})").empty());

    std::string many = R"({"num": 40, "port": [)";
    for (int i = 0; i < 40; ++i)
        many += std::to_string(1 + i % 36) + (i < 39 ? "," : "]}");
    const std::vector<int> capped = ports(many.c_str());
    ASSERT_EQ(capped.size(), 33u) << "one request names at most 33 disks";
    EXPECT_EQ(capped.back(), 33);
}

TEST_F(StorageTest, NetworkDiskSettingsKeepTheirFieldWidthsFromRequestToDiskList)
{
    const std::string directory = "/" + std::string(140, 'd');
    std::string request = R"({"port": 20, "type": 10, "vendor": ")" + std::string(70, 'v') +
                          R"(", "address": ")" + std::string(70, 'a') + R"(", "directory": ")" + directory +
                          R"(", "userName": "a%26b%25", "password": ")" + std::string(40, 'w') + R"("})";
    const Exchange update = exchange(root_, on_update_disk_nas, request, 2);
    ASSERT_GE(update.frames.size(), 1u);
    EXPECT_EQ(update.frames[0].fields.code, 3439);
    EXPECT_EQ(update.frames[0].payload, Bytes(4).i32(0, 20).str());
    EXPECT_EQ(update.out, std::string(kJsonHead) + R"({ "status": 0, "res": 0 })");

    disk_record stored{};
    ASSERT_EQ(read_disk(ZQDB_PATH, &stored, 20), kRecFound);
    EXPECT_EQ(stored.port_id, 20);
    EXPECT_EQ(stored.enable, 1);
    EXPECT_EQ(stored.disk_type, 10);
    EXPECT_EQ(stored.property, 1);
    EXPECT_EQ(std::string(stored.vendor), std::string(63, 'v'));
    EXPECT_EQ(std::string(stored.address), std::string(63, 'a'));
    EXPECT_EQ(std::string(stored.directory), directory.substr(0, 127));
    EXPECT_EQ(std::string(stored.user_name), "a&b%");
    EXPECT_EQ(std::string(stored.password), std::string(32, 'w'));

    // The core reports a local disk only: the network disk is listed from
    // the database, as not reported, with its texts whole.
    const Answer list(deliver(8433, Bytes(464).i32(0, 1).text(4, "local").str()));
    json_object *disks = list.at("HDD");
    ASSERT_EQ(json_object_array_length(disks), 2u);
    json_object *nas = item(disks, 1);
    EXPECT_EQ(json_int_at(nas, "portId"), 20);
    EXPECT_EQ(json_int_at(nas, "hddType"), 10);
    EXPECT_EQ(json_int_at(nas, "state"), 2);
    EXPECT_EQ(json_text_at(nas, "vendorName"), std::string(63, 'v'));
    EXPECT_EQ(json_text_at(nas, "directory"), directory.substr(0, 127));
    EXPECT_EQ(json_text_at(nas, "userName"), "a%26b%25");
    EXPECT_EQ(json_text_at(nas, "password"), std::string(32, 'w'));

    // Credentials that fill their field and are all escaped come out whole.
    Bytes reported(464);
    reported.i32(0, 20).i32(296, 10).text(392, std::string(33, '&')).text(425, std::string(33, '%'));
    disk_record blank{};
    blank.port_id = 20;
    ASSERT_EQ(write_disk(ZQDB_PATH, &blank), 0);
    const Answer escaped(deliver(8433, reported.str()));
    ASSERT_EQ(json_object_array_length(escaped.at("HDD")), 1u);
    std::string amps;
    std::string percents;
    for (int i = 0; i < 33; ++i) {
        amps += "%26";
        percents += "%25";
    }
    EXPECT_EQ(json_text_at(item(escaped.at("HDD"), 0), "userName"), amps);
    EXPECT_EQ(json_text_at(item(escaped.at("HDD"), 0), "password"), percents);
}

TEST_F(StorageTest, EveryConfiguredSlotIsListedWhateverElseTheDatabaseHolds)
{
    for (int port = 1; port <= kDiskSlots; ++port) {
        disk_record disk{};
        disk.port_id = port;
        disk.enable = 1;
        disk.disk_type = 3;
        disk.group = port % 8;
        ASSERT_EQ(write_disk(ZQDB_PATH, &disk), 0);
    }
    // Port 0 names no disk; changing its attributes is answered, and must
    // not cost another slot its place.
    const Exchange change =
        exchange(root_, on_set_disk_info, R"({"portId": 0, "property": 1, "group": 2})", 2);
    EXPECT_EQ(change.out, text_answer("OK"));

    const Answer list(deliver(8433, std::string(464, '\0')));
    json_object *disks = list.at("HDD");
    ASSERT_EQ(json_object_array_length(disks), static_cast<size_t>(kDiskSlots));
    EXPECT_EQ(json_int_at(item(disks, kDiskSlots - 1), "portId"), kDiskSlots);
    EXPECT_EQ(json_int_at(item(disks, kDiskSlots - 1), "state"), 2);

    const Answer quota(deliver(8529, std::string(8, '\0')));
    json_object *groups = quota.at("disk");
    ASSERT_EQ(json_object_array_length(groups), static_cast<size_t>(kDiskSlots));
    EXPECT_EQ(json_object_get_int(item(groups, 0)), 2);
    EXPECT_EQ(json_object_get_int(item(groups, kDiskSlots - 1)), kDiskSlots % 8 + 1);
}

} // namespace
