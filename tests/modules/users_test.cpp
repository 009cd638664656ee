// The user accounts: slots taken and freed in the database, name lookups
// of whole names, the channel lists and their bits, and the list answer of
// fields that fill their width.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codecs/json_util.h"
#include "core_exchange.h"
#include "modules/system/system.h"
#include "modules/system/user_db.h"
#include "modules/system/user_fields.h"

namespace {

UserRecord account(int id, const std::string &name, int enable = 1)
{
    UserRecord user{};
    user.id = id;
    user.enable = enable;
    name.copy(user.name, sizeof user.name);
    return user;
}

using UserDb = DatabaseTest;

TEST_F(UserDb, AddTakesTheLowestSlotNotInUseAndRefusesTheHundredAndFirst)
{
    for (const UserRecord &user :
         {account(0, "admin"), account(1, "ann"), account(2, "gone", 0), account(3, "cy")})
        ASSERT_EQ(write_user(ZQDB_PATH, &user), 0);
    UserRecord added = account(77, "dan");
    ASSERT_EQ(add_user(ZQDB_PATH, &added), 0);
    EXPECT_EQ(added.id, 2) << "a deleted slot is free again";
    UserRecord read{};
    ASSERT_EQ(read_user(ZQDB_PATH, &read, 2), kRecFound);
    EXPECT_EQ(read.id, 2);
    EXPECT_EQ(std::string(read.name), "dan");
    EXPECT_EQ(read_user_count(ZQDB_PATH), 4);

    for (int id = 4; id < kUserMaxAccounts; ++id) {
        const UserRecord user = account(id, "u" + std::to_string(id));
        ASSERT_EQ(write_user(ZQDB_PATH, &user), 0);
    }
    EXPECT_EQ(read_user_count(ZQDB_PATH), kUserMaxAccounts);
    UserRecord extra = account(-1, "extra");
    EXPECT_EQ(add_user(ZQDB_PATH, &extra), -1);
    EXPECT_EQ(extra.id, -1) << "the id stays as it was";
    EXPECT_FALSE(stored(kRecUser, kUserMaxAccounts));
}

TEST_F(UserDb, IdsOutsideTheTableAreNeitherReadNorWritten)
{
    for (const int id : {-1, kUserMaxAccounts, INT32_MIN}) {
        const UserRecord user = account(id, "x");
        EXPECT_EQ(write_user(ZQDB_PATH, &user), -1) << id;
        UserRecord read = account(5, "left");
        EXPECT_EQ(read_user(ZQDB_PATH, &read, id), -1) << id;
        EXPECT_EQ(read.enable, 0) << "the record is zeroed";
        EXPECT_EQ(read.name[0], '\0');
    }
    EXPECT_FALSE(stored(kRecUser, -1));
    EXPECT_FALSE(stored(kRecUser, kUserMaxAccounts));
    int count = -1;
    std::vector<UserRecord> users(kUserMaxAccounts);
    EXPECT_EQ(read_users(ZQDB_PATH, users.data(), &count), 0);
    EXPECT_EQ(count, 0);
}

TEST_F(UserDb, NameLookupMatchesOnlyTheWholeNameOfAnAccountInUse)
{
    const std::string full(sizeof(UserRecord::name), 'w'); // fills the field, no terminator
    for (const UserRecord &user :
         {account(0, "admin"), account(1, "bob", 0), account(2, "bobby"), account(3, full)})
        ASSERT_EQ(write_user(ZQDB_PATH, &user), 0);
    UserRecord found = account(-1, "");
    for (const char *name : {"bob", "bo", "bobb", "bobby2", "Admin", "admin ", ""}) {
        found.id = -1;
        EXPECT_EQ(read_user_by_name(ZQDB_PATH, &found, name), -1) << name;
        EXPECT_EQ(found.id, -1) << name << ": the record is left as it was";
    }
    ASSERT_EQ(read_user_by_name(ZQDB_PATH, &found, "bobby"), 0);
    EXPECT_EQ(found.id, 2);
    const std::string prefix(sizeof(UserRecord::name) - 1, 'w');
    found.id = -1;
    EXPECT_EQ(read_user_by_name(ZQDB_PATH, &found, prefix.c_str()), -1) << "a prefix of a full-width name";
    EXPECT_EQ(read_user_by_name(ZQDB_PATH, &found, (full + "w").c_str()), -1);
    EXPECT_EQ(found.id, -1);
}

TEST(UserFields, ChannelBitsFollowTheFirst32CharactersOfTheList)
{
    EXPECT_EQ(user_channel_bits("1010"), 0x5u);
    EXPECT_EQ(user_channel_bits(""), 0u);
    EXPECT_EQ(user_channel_bits("2x1 "), 0x4u) << "only '1' sets a bit";
    EXPECT_EQ(user_channel_bits(std::string(64, '1').c_str()), 0xffffffffu);
    EXPECT_EQ(user_channel_bits((std::string(32, '0') + "1111").c_str()), 0u)
        << "channels past 32 set no bit";
    EXPECT_EQ(user_channel_bits((std::string(31, '0') + "1").c_str()), 0x80000000u);
}

TEST(UserFields, ListsOfARequestReplaceTheWholeFieldAndTheirBits)
{
    UserRecord user{};
    memset(user.local_liveview, '1', 64);
    user.local_liveview_bits = 0xffffffffu;
    memset(user.remote_playback, '1', 64);
    user.remote_playback_bits = 0xffffffffu;
    user.local_rights[3] = 7;
    user.remote_rights[9] = 8;
    const std::string longer = "1" + std::string(63, '0') + std::string(40, '1');
    const std::string text = R"({"localliveview": "01", "localplayback": ")" + longer +
                             R"(", "localSmartAnalysis": 1, "remoteShutdown": 0})";
    const JsonPtr request(json_tokener_parse(text.c_str()));
    ASSERT_NE(request.get(), nullptr);
    user_apply_rights(request.get(), &user);

    EXPECT_EQ(std::string(user.local_liveview, sizeof user.local_liveview), "01" + std::string(63, '\0'))
        << "no bytes of the longer old list stay behind";
    EXPECT_EQ(user.local_liveview_bits, 0x2u);
    EXPECT_EQ(std::string(user.local_playback), longer.substr(0, 64)) << "a list is cut to 64 characters";
    EXPECT_EQ(user.local_playback_bits, 0x1u);
    EXPECT_EQ(std::string(user.remote_playback, 64), std::string(64, '1')) << "an absent list is kept";
    EXPECT_EQ(user.remote_playback_bits, 0xffffffffu);
    EXPECT_EQ(user.local_rights[3], 1);
    EXPECT_EQ(user.remote_rights[9], 0);
}

TEST(UserFields, ListEntryKeepsTheBrowsersKeyOrderAndFullWidthFieldsEndWithTheirField)
{
    UserRecord user = account(9, std::string(sizeof(UserRecord::name), 'n'));
    memset(user.password, 'f', sizeof user.password);
    memset(user.local_liveview, '1', sizeof user.local_liveview); // 65 characters, no terminator
    memset(user.local_playback, '0', sizeof user.local_playback);
    user.remote_permission = -1;
    user.local_rights[0] = 1;
    user.remote_rights[9] = 1;
    const JsonPtr array = json_new_array();
    user_add_list_entry(array.get(), user);
    ASSERT_EQ(json_object_array_length(array.get()), 1u);
    json_object *entry = json_object_array_get_idx(array.get(), 0);

    std::vector<std::string> expected = {"id", "enable", "name", "password", "type", "permission"};
    for (const char *key : kUserLocalRightKeys)
        expected.emplace_back(key);
    expected.insert(expected.end(), {"localliveview", "localplayback", "remotePermission"});
    for (const char *key : kUserRemoteRightKeys)
        expected.emplace_back(key);
    expected.insert(expected.end(), {"remoteliveview", "remoteplayback"});
    EXPECT_EQ(json_keys(entry), expected);
    EXPECT_EQ(json_int_at(entry, "id"), 9);
    EXPECT_EQ(json_text_at(entry, "name"), std::string(64, 'n'));
    EXPECT_EQ(json_text_at(entry, "password"), "") << "the digest is not handed out";
    EXPECT_EQ(json_text_at(entry, "localliveview"), std::string(65, '1'));
    EXPECT_EQ(json_text_at(entry, "localplayback"), std::string(65, '0'));
    EXPECT_EQ(json_int_at(entry, "remotePermission"), -1);
    EXPECT_EQ(json_int_at(entry, "localLiveView"), 1);
    EXPECT_EQ(json_int_at(entry, "remoteShutdown"), 1);
    EXPECT_EQ(json_int_at(entry, "remoteLiveView"), 0);
}

using UserHandlers = CoreExchangeTest;

// Names are data: quotes, shell characters and line breaks are stored byte
// for byte, listed escaped and found again by the duplicate check.
TEST_F(UserHandlers, HostileNamesAreStoredAsSentAndListedAsJson)
{
    const UserRecord admin = account(0, "admin");
    ASSERT_EQ(write_user(ZQDB_PATH, &admin), 0);
    const std::string name = "a\\\"b;$(id)`x`'\\n../";
    const std::string request = R"({"name": ")" + name +
                                R"(", "password": "00112233445566778899aabbccddeeff", "type": 1,
                                "permission": -1, "remotePermission": 0, "localliveview": "11"})";
    const Exchange added = exchange(root_, on_add_new_user, request, 2);
    EXPECT_EQ(added.out, text_answer("id=1"));
    UserRecord read{};
    ASSERT_EQ(read_user(ZQDB_PATH, &read, 1), kRecFound);
    const std::string sent = "a\"b;$(id)`x`'\n../";
    EXPECT_EQ(std::string(read.name), sent);
    EXPECT_EQ(std::string(read.created), "0");
    EXPECT_EQ(read.local_liveview_bits, 0x3u);

    const Exchange again = exchange(root_, on_add_new_user, request, 0);
    EXPECT_EQ(again.out, text_answer("SAMEUSER"));
    EXPECT_FALSE(stored(kRecUser, 2));

    CapturedOutput output;
    on_get_user_list(nullptr);
    const Answer list(Delivered{output.text(), 0});
    ASSERT_NE(list.get(), nullptr);
    ASSERT_EQ(json_object_array_length(list.get()), 2u);
    EXPECT_EQ(json_text_at(json_object_array_get_idx(list.get(), 1), "name"), sent);
}

} // namespace
