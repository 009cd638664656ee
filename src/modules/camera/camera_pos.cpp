// POS text sources with their event dialogs, and the face detection
// settings of a camera, whose event dialog is stored like a POS source's.
#include <iterator>

#include "codecs/channel_mask.h"
#include "codecs/event_actions.h"
#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/camera/camera.h"
#include "platform/confdb/confdb.h"

namespace {

const WireField kPosFields[] = {
    WIRE_INT("id", pos_setting, id),
    WIRE_INT("enable", pos_setting, enable),
    WIRE_TEXT("name", pos_setting, name),
    WIRE_INT("protocol", pos_setting, protocol),
    WIRE_INT("connectionMode", pos_setting, connectionMode),
    WIRE_TEXT("ip", pos_setting, ip),
    WIRE_INT("liveviewDisplay", pos_setting, liveviewDisplay),
    WIRE_INT("displayChannel", pos_setting, displayChannel),
    WIRE_INT("startX", pos_setting, startX),
    WIRE_INT("startY", pos_setting, startY),
    WIRE_INT("areaWidth", pos_setting, areaWidth),
    WIRE_INT("areaHeight", pos_setting, areaHeight),
    WIRE_INT("characterEncodeing", pos_setting, characterEncodeing),
    WIRE_INT("fontSize", pos_setting, fontSize),
    WIRE_INT("fontColor", pos_setting, fontColor),
    WIRE_INT("overlayMode", pos_setting, overlayMode),
    WIRE_INT("displayTime", pos_setting, displayTime),
    WIRE_INT("timeout", pos_setting, timeout),
    WIRE_TEXT("privacy1", pos_setting, privacy1),
    WIRE_TEXT("privacy2", pos_setting, privacy2),
    WIRE_TEXT("privacy3", pos_setting, privacy3),
    WIRE_INT("port", pos_setting, port),
    WIRE_INT("nvrPort", pos_setting, nvrPort),
    WIRE_INT("clearTime", pos_setting, clearTime),
};
constexpr WireLayout kPos = wire_layout(kPosFields, sizeof(pos_setting));

// How a POS source's or a face channel's event dialog is stored.
struct SourceEvent {
    EventActionTables tables;
    int (*read)(const char *db, pos_event *record, int owner);
    int (*write)(const char *db, const pos_event *record);
    EventScheduleWriter write_schedule;
};

const SourceEvent kPosEvent = {{"pos_whiteled_params", "pos_whiteled_esche", "pos_http_notification_sche",
                                "pos_http_notification_params", kPtzTypePos},
                               read_pos_event,
                               write_pos_event,
                               write_pos_schedule};
const SourceEvent kFaceEvent = {{"face_whiteled_params", "face_whiteled_esche", "face_http_notification_sche",
                                 "face_http_notification_params", kPtzTypeFace},
                                read_face_event,
                                write_face_event,
                                write_face_schedule};

// The white LED and HTTP schedules go with the action tables.
const EventScheduleKey kSourceSchedules[] = {
    {"effective", kScheduleEffective},
    {"audible", kScheduleAudible},
    {"email", kScheduleEmail},
    {"ptz", kSchedulePtz},
};

// ---- Face settings: request 3381 by int32 slot -------------------------------------

const WireField kFaceFields[] = {
    WIRE_SLOT("chnId", 1),
    WIRE_SLOT("enable", 35),
    WIRE_SLOT("width", 36),
    WIRE_SLOT("height", 37),
    WIRE_SLOT("minPixel", 38),
    WIRE_SLOT("captureMode", 39),
    WIRE_SLOT("snapshotType", 43),
    WIRE_SLOT("snapshotInterval", 44),
    WIRE_SLOT("snapshotBackground", 45),
    WIRE_SLOT("poseYaw", 46),
    WIRE_SLOT("poseRoll", 47),
    WIRE_SLOT("posePitch", 48),
    WIRE_SLOT("blurLimit", 49),
    WIRE_SLOT_TEXT("detection_polygonX", 70, 64),
    WIRE_SLOT_TEXT("detection_polygonY", 86, 64),
    WIRE_SLOT("uploadEnable", 102),
    WIRE_SLOT("uploadFileType", 103),
    WIRE_SLOT("nasEnable", 104),
    WIRE_SLOT("nasFileType", 105),
    WIRE_SLOT("emailEnable", 106),
    WIRE_SLOT("emailFileType", 107),
    WIRE_SLOT("httpEnable", 108),
    WIRE_SLOT("httpNotifyInterval", 109),
    WIRE_SLOT_TEXT("httpUrl", 110, 128),
    WIRE_SLOT_TEXT("httpUser", 142, 64),
    WIRE_SLOT_TEXT("httpPassword", 158, 64),
    WIRE_SLOT("recordSeconds", 177),
    WIRE_SLOT("prerecordSeconds", 178),
    WIRE_SLOT("postEnable", 179),
    WIRE_SLOT("postType", 180),
    WIRE_SLOT("attributeEnable", 397),
    WIRE_SLOT("attributeType", 398),
    WIRE_SLOT("mosaicEnable", 399),
    WIRE_SLOT("mosaicModeStatus", 400),
    WIRE_SLOT("mutuallyExclusive", 401),
};
constexpr WireLayout kFace = wire_layout(kFaceFields, kFaceConfigSize);

// Each "captureModeArray" element has a quality and a snapshot switch, kept
// in two runs of three slots.
constexpr size_t kCaptureModes = 3;
const WireField kCaptureQualityFields[] = {WIRE_SLOT("captureQuality", 0)};
const WireField kCaptureSnapshotFields[] = {WIRE_SLOT("snapshot", 0)};
constexpr WireList kCaptureQualities = {wire_layout(kCaptureQualityFields, 4), 40 * 4, kCaptureModes, 4};
constexpr WireList kCaptureSnapshots = {wire_layout(kCaptureSnapshotFields, 4), 174 * 4, kCaptureModes, 4};

// Four shield areas of 49 slots each.
constexpr size_t kShieldSlots = 49;
const WireField kShieldFields[] = {
    WIRE_SLOT("enable", 0),
    WIRE_SLOT_TEXT("polygonX", 17, 64),
    WIRE_SLOT_TEXT("polygonY", 33, 64),
};
constexpr WireList kShields = {wire_layout(kShieldFields, kShieldSlots * 4), 201 * 4, 4, kShieldSlots * 4};
static_assert(wire_list_end(kShields) <= 397 * 4);

json_object *pos_schedule_json(int kind, int id)
{
    static schedule_record schedule;
    read_pos_schedule(ZQDB_PATH, kind, &schedule, id);
    return get_schedule_json_object(&schedule);
}

// The event dialog of POS source `id`.
json_object *pos_action_json(int id)
{
    pos_event record;
    read_pos_event(ZQDB_PATH, &record, id);
    const event_action_fields &action = record.action;
    const EventActionTables &tables = kPosEvent.tables;
    json_object *dialog = json_object_new_object();
    json_object_object_add(dialog, "effective", pos_schedule_json(kScheduleEffective, id));
    json_object_object_add(dialog, "audible", pos_schedule_json(kScheduleAudible, id));
    json_add_int(dialog, "interval", action.interval);
    json_add_int(dialog, "audioId", action.audio_id);
    json_object_object_add(dialog, "email", pos_schedule_json(kScheduleEmail, id));
    json_add_int(dialog, "email_interval", action.email_interval);
    json_add_int(dialog, "email_pic_enable", action.email_pic_enable);
    json_add_field(dialog, "tri_channels_pic", action.tri_channels_pic);
    json_object_object_add(dialog, "ptz", pos_schedule_json(kSchedulePtz, id));
    json_add_int(dialog, "ptz_interval", action.ptz_interval);
    json_object_object_add(dialog, "ptzParams", get_ptz_params_json_object(tables.ptz_type, id));
    json_object_object_add(dialog, "white", pos_schedule_json(kScheduleWhite, id));
    json_object_object_add(dialog, "whiteInfo", get_white_params_json_object(id, tables.white_led_params));
    json_add_int(dialog, "white_interval", action.white_interval);
    json_object_object_add(dialog, "httpSche", pos_schedule_json(kScheduleHttp, id));
    json_object_object_add(dialog, "httpParams", get_http_params_json_object(id, tables.http_params));
    json_add_int(dialog, "http_notification_interval", action.http_notification_interval);
    json_add_int(dialog, "alarmout_interval", action.alarmout_interval);
    json_add_int(dialog, "triAlarms", action.tri_alarms);
    json_add_field(dialog, "triChannels", record.tri_channels);
    json_object_object_add(dialog, "triChnAlarms",
                           get_event_chn_alarmout_object(action.chn_alarmout0, action.chn_alarmout1));
    return dialog;
}

// The trigger channels as sent, and the mask of their first 32 characters.
bool set_tri_channels(json_object *dialog, pos_event *record)
{
    if (!event_set_text(dialog, "triChannels", record->tri_channels, sizeof record->tri_channels))
        return false;
    record->tri_channels_mask = channel_mask_low(channel_mask_from_text(record->tri_channels));
    return true;
}

// Stores what the dialog holds for `owner`; 0, or -1 when a read or a write
// failed. The event record is written only when something of it changed.
int save_source_dialog(json_object *dialog, const SourceEvent &event, int owner)
{
    pos_event record;
    if (save_event_schedules(dialog, kSourceSchedules, std::size(kSourceSchedules), event.write_schedule,
                             owner) != 0 ||
        event.read(ZQDB_PATH, &record, owner) != 0)
        return -1;
    const EventActionFields fields{record.action.chn_alarmout0, record.action.chn_alarmout1, 0, nullptr};
    int changes = event_actions_save(dialog, event.tables, owner, fields, true);
    if (changes < 0)
        return -1;
    changes += set_ptz_params_by_json(owner, event.tables.ptz_type,
                                      json_value_array(json_get_member(dialog, "ptzParams")));
    if (event_set_action_fields(dialog, &record.action))
        ++changes;
    if (set_tri_channels(dialog, &record))
        ++changes;
    return changes == 0 || event.write(ZQDB_PATH, &record) == 0 ? 0 : -1;
}

// The optional "action" object of a request.
json_object *request_dialog(json_object *request)
{
    json_object *dialog = json_get_member(request, "action");
    return json_object_is_type(dialog, json_type_object) ? dialog : nullptr;
}

void fill_face_config(json_object *request, unsigned char *payload)
{
    wire_fill(request, kFace, payload);
    json_object *modes = json_value_array(json_get_member(request, "captureModeArray"));
    wire_list_fill(modes, kCaptureQualities, WireForm::kKeyed, payload);
    wire_list_fill(modes, kCaptureSnapshots, WireForm::kKeyed, payload);
    wire_list_fill(json_value_array(json_get_member(request, "shield")), kShields, WireForm::kKeyed, payload);
}

} // namespace

int on_cgi_get_pos_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int id = request ? json_member_int(request.get(), "id") : -1;
    if (id < 0 || id >= kPosSources)
        return cgi_error_to_webserver(kRespJson);
    static pos_setting list[kPosSources];
    read_pos_settings(ZQDB_PATH, list);
    const JsonPtr answer = json_new_object();
    json_object *sources = json_object_new_array();
    for (const pos_setting &source : list) {
        json_object *entry = json_object_new_object();
        wire_add_fields(entry, &source, kPos);
        json_object_array_add(sources, entry);
    }
    json_object_object_add(answer.get(), "pos", sources);
    json_object_object_add(answer.get(), "action", pos_action_json(id));
    return cgi_write_json(kRespJson, answer.get());
}

// Keys the request leaves out keep their stored values.
int on_cgi_set_pos_info(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int id = request ? json_member_int(request.get(), "id") : -1;
    pos_setting record;
    if (id < 0 || id >= kPosSources || read_pos_setting(ZQDB_PATH, &record, id) != 0)
        return cgi_error_to_webserver(kRespJson);
    wire_update(request.get(), kPos, &record);
    record.id = id;
    json_object *dialog = request_dialog(request.get());
    if (write_pos_setting(ZQDB_PATH, &record) != 0 ||
        (dialog != nullptr && save_source_dialog(dialog, kPosEvent, id) != 0))
        return cgi_error_to_webserver(kRespJson);
    const int32_t payload = id;
    relay_request(kMsgPosChanged, &payload, sizeof payload, kRespJson);
    return 0;
}

// The camera's settings go to the core daemon in every case; the event
// dialog, when the request has one, is stored first and announced.
int on_cgi_set_face_config(char *text)
{
    const JsonPtr request(get_request_tokener_json_object(text));
    const int chnid = request ? json_member_int(request.get(), "chnId") : -1;
    if (chnid < 0 || chnid >= kFaceChannels)
        return cgi_error_to_webserver(kRespJson);
    json_object *dialog = request_dialog(request.get());
    if (dialog != nullptr) {
        if (save_source_dialog(dialog, kFaceEvent, chnid) != 0)
            return cgi_error_to_webserver(kRespJson);
        const int32_t channel = chnid;
        relay_notify(kMsgFaceActionChanged, &channel, sizeof channel);
    }
    static unsigned char payload[kFaceConfigSize];
    fill_face_config(request.get(), payload);
    relay_request(kMsgSetFaceConfig, payload, sizeof payload, kRespJson);
    return 0;
}
