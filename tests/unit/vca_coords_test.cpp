#include <gtest/gtest.h>

#include <cstring>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/wire_fields.h"
#include "modules/video/vca_coords.h"

namespace {

TEST(VcaCoords, CanvasToCameraRoundsAndKeepsAtLeastOne)
{
    EXPECT_EQ(vca_canvas_to_camera(230, 1920, kVcaCanvasWidth), 960);
    EXPECT_EQ(vca_canvas_to_camera(260, 1080, kVcaCanvasHeight), 1080);
    EXPECT_EQ(vca_canvas_to_camera(1, 1920, kVcaCanvasWidth), 4); // 4.17 rounds down
    EXPECT_EQ(vca_canvas_to_camera(0, 1920, kVcaCanvasWidth), 1);
    EXPECT_EQ(vca_canvas_to_camera(-50, 1920, kVcaCanvasWidth), 1);
    EXPECT_EQ(vca_canvas_to_camera(100, 0, kVcaCanvasWidth), 1);
}

// Products of two request values exceed 32 bits; the result stays in range.
TEST(VcaCoords, LargeValuesDoNotOverflow)
{
    EXPECT_EQ(vca_canvas_to_camera(INT32_MAX, INT32_MAX, kVcaCanvasWidth), INT32_MAX);
    EXPECT_EQ(vca_canvas_to_camera(INT32_MIN, INT32_MAX, kVcaCanvasWidth), 1);
    EXPECT_EQ(vca_canvas_to_camera(460, INT32_MAX, kVcaCanvasWidth), INT32_MAX);
    EXPECT_EQ(vca_camera_to_canvas(INT32_MAX, 1, kVcaCanvasWidth), INT32_MAX);
    EXPECT_EQ(vca_camera_to_canvas(INT32_MIN, 1, kVcaCanvasHeight), INT32_MIN);
    EXPECT_EQ(vca_camera_to_canvas(INT32_MIN, -1, kVcaCanvasHeight), INT32_MAX);
}

TEST(VcaCoords, CameraToCanvasRoundsAndUnknownSizeIsZero)
{
    EXPECT_EQ(vca_camera_to_canvas(960, 1920, kVcaCanvasWidth), 230);
    EXPECT_EQ(vca_camera_to_canvas(1080, 1080, kVcaCanvasHeight), 260);
    EXPECT_EQ(vca_camera_to_canvas(2, 1920, kVcaCanvasWidth), 0);
    EXPECT_EQ(vca_camera_to_canvas(3, 1920, kVcaCanvasWidth), 1);
    EXPECT_EQ(vca_camera_to_canvas(500, 0, kVcaCanvasWidth), 0);
}

TEST(VcaCoords, PositionTextTakesFourNumbersAndZeroForTheRest)
{
    int32_t out[4] = {9, 9, 9, 9};
    vca_parse_position("1;2;3;4;5", out);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
    vca_parse_position("7", out);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[3], 0);
    vca_parse_position("a;-2;;x8", out);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], -2);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0);
    vca_parse_position("99999999999;-99999999999;99999999999999999999999", out);
    EXPECT_EQ(out[0], INT32_MAX);
    EXPECT_EQ(out[1], INT32_MIN);
    EXPECT_EQ(out[2], INT32_MAX);
    vca_parse_position(nullptr, out);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 0);
}

#pragma pack(push, 1)
struct Packed {
    int8_t flag;
    int8_t level;
    int16_t pad;
    int32_t value;
};
#pragma pack(pop)

const WireField kPackedFields[] = {WIRE_INT8("flag", Packed, flag), WIRE_INT8("level", Packed, level),
                                   WIRE_INT("value", Packed, value)};
constexpr WireLayout kPacked = wire_layout(kPackedFields, sizeof(Packed));

// One-byte fields take only their byte, read back signed, and the update
// counts the fields it replaced.
TEST(WireFieldsInt8, ByteFieldsStayInTheirByte)
{
    const JsonPtr request(get_request_tokener_json_object(R"({"flag": 257, "level": -3})"));
    Packed packed{};
    packed.pad = 0x1234;
    packed.value = 77;
    EXPECT_EQ(wire_update(request.get(), kPacked, &packed), 2u);
    EXPECT_EQ(packed.flag, 1);
    EXPECT_EQ(packed.level, -3);
    EXPECT_EQ(packed.pad, 0x1234);
    EXPECT_EQ(packed.value, 77);
    const JsonPtr answer = json_new_object();
    wire_add_fields(answer.get(), &packed, kPacked);
    EXPECT_STREQ(json_object_to_json_string(answer.get()), R"({ "flag": 1, "level": -3, "value": 77 })");
    EXPECT_EQ(wire_update(nullptr, kPacked, &packed), 0u);
}

} // namespace
