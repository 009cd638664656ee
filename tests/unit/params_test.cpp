#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "core/ipc.h"
#include "test_support.h"

namespace {

const std::string kJsonHeader = "Content-type: application/json\r\n\r\n";
const std::string kTextHeader = "Content-type: text/plain\r\n\r\n";

JsonPtr parse(const char *text) { return JsonPtr(get_request_tokener_json_object(text)); }

// Reads `key` of `text` as an integer; the fallback shows that an absent
// value leaves the output unchanged.
std::string int_of(const char *text, const char *key = "v")
{
    const JsonPtr object = parse(text);
    int value = -777;
    const int result = on_cgi_get_int_from_json(object.get(), key, &value);
    return result == 0 ? std::to_string(value) : "absent:" + std::to_string(value);
}

std::string text_of(const char *text, size_t size = 64)
{
    const JsonPtr object = parse(text);
    char buffer[64] = "unchanged";
    const int result = on_cgi_get_string_from_json(object.get(), "v", buffer, size);
    return result == 0 ? std::string(buffer) : "absent:" + std::string(buffer);
}

TEST(ParamsJson, IntegersFollowJsonCAndWrongTypesAreAbsent)
{
    EXPECT_EQ(int_of(R"({"v": 3})"), "3");
    EXPECT_EQ(int_of(R"({"v": -2147483648})"), "-2147483648");
    EXPECT_EQ(int_of(R"({"v": 99999999999})"), "2147483647");
    EXPECT_EQ(int_of(R"({"v": "12"})"), "12");
    EXPECT_EQ(int_of(R"({"v": " 7"})"), "7");
    EXPECT_EQ(int_of(R"({"v": "12abc"})"), "12");
    EXPECT_EQ(int_of(R"({"v": 5.7})"), "5");
    EXPECT_EQ(int_of(R"({"v": true})"), "1");
    EXPECT_EQ(int_of(R"({"v": "abc"})"), "absent:-777");
    EXPECT_EQ(int_of(R"({"v": ""})"), "absent:-777");
    EXPECT_EQ(int_of(R"({"v": null})"), "absent:-777");
    EXPECT_EQ(int_of(R"({"v": {"x": 1}})"), "absent:-777");
    EXPECT_EQ(int_of(R"({"v": [1]})"), "absent:-777");
    EXPECT_EQ(int_of(R"({"w": 1})"), "absent:-777");
    EXPECT_EQ(int_of(R"([1, 2])"), "absent:-777");
    EXPECT_EQ(int_of(R"({"v": 1})", nullptr), "absent:-777");
    EXPECT_EQ(on_cgi_get_int_from_json(nullptr, "v", nullptr), -1);
}

TEST(ParamsJson, TextsFollowJsonCAndWrongTypesAreAbsent)
{
    EXPECT_EQ(text_of(R"({"v": "abc"})"), "abc");
    EXPECT_EQ(text_of(R"({"v": ""})"), "");
    EXPECT_EQ(text_of(R"({"v": 3})"), "3");
    EXPECT_EQ(text_of(R"({"v": false})"), "false");
    EXPECT_EQ(text_of(R"({"v": "abcdef"})", 4), "abc");
    EXPECT_EQ(text_of(R"({"v": "abc"})", 0), "absent:unchanged");
    EXPECT_EQ(text_of(R"({"v": null})"), "absent:unchanged");
    EXPECT_EQ(text_of(R"({"v": {"a": "b"}})"), "absent:unchanged");
    EXPECT_EQ(text_of(R"({"v": ["a"]})"), "absent:unchanged");
    EXPECT_EQ(text_of(R"({"w": "a"})"), "absent:unchanged");
    EXPECT_EQ(text_of("not json"), "absent:unchanged");
}

TEST(ParamsJson, ValueByJsonParsesItsOwnText)
{
    int value = 9;
    EXPECT_EQ(on_cgi_get_value_by_json(R"({"chnid":3})", "chnid", &value), 0);
    EXPECT_EQ(value, 3);
    value = 9;
    EXPECT_EQ(on_cgi_get_value_by_json(R"({"x":1})", "chnid", &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json("chnid=3", "chnid", &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json(R"({"chnid":3)", "chnid", &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json("3", "chnid", &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json(nullptr, "chnid", &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json(R"({"chnid":3})", nullptr, &value), -1);
    EXPECT_EQ(on_cgi_get_value_by_json(R"({"chnid":3})", "chnid", nullptr), -1);
    EXPECT_EQ(value, 9);
    EXPECT_EQ(get_request_tokener_json_object(nullptr), nullptr);
    EXPECT_EQ(get_request_tokener_json_object(""), nullptr);
}

TEST(ParamsReply, CommonJsonCbWritesTheStatusOnlyForAWholeRecord)
{
    const int32_t status = -2;
    char payload[4];
    memcpy(payload, &status, sizeof payload);
    {
        CapturedOutput out;
        g_callback_done.store(0);
        EXPECT_EQ(on_cgi_common_json_cb(1, payload), 0);
        EXPECT_EQ(out.text(), kJsonHeader + "{ \"status\": -2 }");
        EXPECT_EQ(g_callback_done.load(), 1);
    }
    for (const int count : {0, -1}) {
        CapturedOutput out;
        g_callback_done.store(0);
        EXPECT_EQ(on_cgi_common_json_cb(count, payload), -1);
        EXPECT_EQ(out.text(), "");
        EXPECT_EQ(g_callback_done.load(), 0);
    }
    {
        CapturedOutput out;
        g_callback_done.store(0);
        EXPECT_EQ(on_cgi_common_json_cb(1, ReplyReader(payload, 3)), -1);
        EXPECT_EQ(on_cgi_common_json_cb(1, nullptr), -1);
        EXPECT_EQ(out.text(), "");
        EXPECT_EQ(g_callback_done.load(), 0);
    }
}

TEST(ParamsReply, CommonTextCbFormatsStatusAndDataCutAt255)
{
    const std::string long_data(400, 'd');
    const struct {
        int status;
        const char *data;
        std::string body;
    } cases[] = {
        {0, "abc", "CGI OK status:[0], data:[abc]"},
        {7, nullptr, "CGI OK status:[7]"},
        {-1, "", "CGI ERROR status:[-1], data:[]"},
        {-5, long_data.c_str(), ("CGI ERROR status:[-5], data:[" + long_data).substr(0, 255)},
    };
    for (const auto &item : cases) {
        CapturedOutput out;
        g_callback_done.store(0);
        EXPECT_EQ(on_cgi_common_text_cb(nullptr, item.status, item.data), 1);
        EXPECT_EQ(out.text(), kTextHeader + item.body);
        EXPECT_EQ(g_callback_done.load(), 1);
    }
}

// Runs ui_decodeing over three records marked "keep"; returns the result
// and the records as "name/value" joined by '|'.
std::string decode_options(const std::string &text, int count = 3)
{
    KeyValueRecord records[3];
    for (auto &record : records) {
        strcpy(record.name, "keep");
        strcpy(record.value, "keep");
    }
    const int result = ui_decodeing(text.c_str(), records, count);
    std::string shown = std::to_string(result);
    for (const auto &record : records)
        shown += std::string("|") + record.name + "/" + record.value;
    return shown;
}

TEST(ParamsOptionText, SplitsPairsInOrderAndLeavesTheRestAlone)
{
    EXPECT_EQ(decode_options("setlang=2", 1), "0|setlang/2|keep/keep|keep/keep");
    EXPECT_EQ(decode_options("a=1&b=2", 2), "0|a/1|b/2|keep/keep");
    EXPECT_EQ(decode_options("a=1&b=2"), "0|a/1|b/2|keep/keep");
    EXPECT_EQ(decode_options("a=1&b=2&c=3", 2), "0|a/1|b/2|keep/keep");
    EXPECT_EQ(decode_options("a=1&"), "0|a/1|keep/keep|keep/keep");
    EXPECT_EQ(decode_options("a&=2&=3&b"), "0|a&/2|/3|b/");
    EXPECT_EQ(decode_options("b=x=y"), "0|b/x=y|keep/keep|keep/keep");
    EXPECT_EQ(decode_options("a=1", 0), "-1|keep/keep|keep/keep|keep/keep");
    EXPECT_EQ(decode_options("a=1", -1), "0|keep/keep|keep/keep|keep/keep");
    EXPECT_EQ(ui_decodeing(nullptr, nullptr, 1), -1);
}

TEST(ParamsOptionText, TakesTextFromTheFirst64CharactersOnly)
{
    const std::string value62(62, 'v');
    EXPECT_EQ(decode_options("x=" + value62, 1), "0|x/" + value62 + "|keep/keep|keep/keep");
    EXPECT_EQ(decode_options("x=" + value62 + "w", 1).substr(0, 3), "-1|");
    const std::string name63(63, 'n');
    EXPECT_EQ(decode_options(name63 + "=", 1), "0|" + name63 + "/|keep/keep|keep/keep");
    // A 64-character name lies within the limit but leaves no room for the
    // terminator in its 64-byte field.
    EXPECT_EQ(decode_options(std::string(64, 'n') + "=", 1).substr(0, 3), "-1|");
    EXPECT_EQ(decode_options(std::string(64, 'n'), 1).substr(0, 3), "-1|");
    // The second pair starts past position 63.
    EXPECT_EQ(decode_options("a=" + std::string(61, 'v') + "&b=1", 2).substr(0, 3), "-1|");
    EXPECT_EQ(decode_options("a=" + std::string(61, 'v') + "&b=1", 1).substr(0, 2), "0|");
}

TEST(ParamsOptionText, ArgnumCountsEqualsInThe255FirstCharacters)
{
    EXPECT_EQ(get_httpoption_argnum(nullptr), 0);
    EXPECT_EQ(get_httpoption_argnum("a=1&b=2=3"), 3);
    EXPECT_EQ(get_httpoption_argnum((std::string(254, 'x') + "==").c_str()), 1);
}

TEST(ParamsOptionText, SectionInfoCopiesUpToQuestionMarkWithinTheBuffer)
{
    char out[8];
    EXPECT_EQ(get_section_info("/a/path?x=1", "path", out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(get_section_info("id=abc?x", "id=", out, sizeof out), 0);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(get_section_info("id=abcdefghijk", "id=", out, sizeof out), 0);
    EXPECT_STREQ(out, "abcdefg");
    strcpy(out, "same");
    EXPECT_EQ(get_section_info("id=abc", "ip=", out, sizeof out), -1);
    EXPECT_EQ(get_section_info("id=abc", "", out, sizeof out), -1);
    EXPECT_EQ(get_section_info("id=abc", nullptr, out, sizeof out), -1);
    EXPECT_EQ(get_section_info(nullptr, "id", out, sizeof out), -1);
    EXPECT_EQ(get_section_info("id=abc", "id", out, 0), -1);
    EXPECT_STREQ(out, "same");
}

} // namespace
