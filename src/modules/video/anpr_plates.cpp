// The plate list pages: delete, add or replace, and change plates. A page
// sends at most 10000 plates per request; every request is stored in one
// transaction, so a list is never left half changed.
#include <memory>
#include <new>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "front/web_utils.h"
#include "modules/video/anpr.h"
#include "platform/anprdb/anpr_list.h"
#include "platform/crypto/url_code.h"

namespace {

// A plate as the page sends it: URL-encoded, at most 63 characters once
// decoded. False for an element that is not a text.
bool decode_plate(json_object *value, char (&plate)[64])
{
    const char *text = json_value_text(value);
    return text != nullptr && get_url_decode(text, plate, sizeof plate) >= 0;
}

// The list of a plate request: "cnt" within 1..10000 and the "plate" array.
struct PlateRequest {
    JsonPtr json;
    json_object *plates = nullptr;
    int count = 0; // elements to read: min(cnt, array length)
    bool parsed = false;
    bool count_valid = false;
};

PlateRequest parse_plate_request(const char *text)
{
    PlateRequest request;
    request.json.reset(get_request_tokener_json_object(text));
    request.parsed = request.json != nullptr;
    const int cnt = json_member_int(request.json.get(), "cnt", 0);
    request.count_valid = cnt >= 1 && cnt <= kAnprListMax;
    request.plates = json_value_array(json_get_member(request.json.get(), "plate"));
    const size_t length = json_array_size(request.plates);
    request.count =
        request.count_valid ? static_cast<int>(length < static_cast<size_t>(cnt) ? length : cnt) : 0;
    return request;
}

bool body_absent(const char *text) { return text == nullptr || *text == '\0'; }

template <typename T> std::unique_ptr<T[]> allocate(int count)
{
    return std::unique_ptr<T[]>(new (std::nothrow) T[count > 0 ? count : 1]());
}

// Entries of [type, plate] elements until the first that is not one.
int fill_add_entries(const PlateRequest &request, anpr_list_entry *entries)
{
    int filled = 0;
    for (; filled < request.count; ++filled) {
        json_object *item = json_value_array(json_array_item(request.plates, filled));
        const char *type = json_value_text(json_array_item(item, 0));
        char plate[64];
        if (type == nullptr || !decode_plate(json_array_item(item, 1), plate))
            break;
        fill_field_text(entries[filled].type, sizeof entries[filled].type, type);
        fill_field_text(entries[filled].plate, sizeof entries[filled].plate, plate);
    }
    return filled;
}

// Moves of [old plate, type, new plate] elements until the first that is
// not one.
int fill_moves(const PlateRequest &request, anpr_list_move *moves)
{
    int filled = 0;
    for (; filled < request.count; ++filled) {
        json_object *item = json_value_array(json_array_item(request.plates, filled));
        const char *type = json_value_text(json_array_item(item, 1));
        anpr_list_move &move = moves[filled];
        char plate[64];
        if (type == nullptr || !decode_plate(json_array_item(item, 0), move.old_plate) ||
            !decode_plate(json_array_item(item, 2), plate))
            break;
        fill_field_text(move.entry.type, sizeof move.entry.type, type);
        fill_field_text(move.entry.plate, sizeof move.entry.plate, plate);
    }
    return filled;
}

} // namespace

int on_set_anpr_del_lpr_plate(char *text)
{
    const PlateRequest request = parse_plate_request(text);
    if (!request.parsed)
        return cgi_error_to_webserver(kRespJson);
    const auto entries = allocate<anpr_list_entry>(request.count);
    if (!request.count_valid || entries == nullptr)
        return cgi_error_to_webserver(kRespText);
    int filled = 0;
    while (filled < request.count &&
           decode_plate(json_array_item(request.plates, filled), entries[filled].plate))
        ++filled;
    if (filled == 0 || delete_anpr_lists(ANPR_DB_PATH, entries.get(), filled) != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}

int on_set_anpr_add_lpr_plate(char *text)
{
    const PlateRequest request = parse_plate_request(text);
    const auto entries = allocate<anpr_list_entry>(request.count);
    if (entries == nullptr)
        return cgi_error_to_webserver(kRespJson);
    const int filled = fill_add_entries(request, entries.get());
    if (filled == 0 || write_anpr_list_replace_batch(ANPR_DB_PATH, entries.get(), filled) != 0)
        return cgi_error_to_webserver(kRespJson);
    const JsonPtr answer = json_new_object();
    json_add_int(answer.get(), "count", filled);
    return cgi_write_json(kRespJson, answer.get());
}

int on_set_anpr_update_lpr_plate(char *text)
{
    const PlateRequest request = parse_plate_request(text);
    if (!request.parsed)
        return cgi_error_to_webserver(body_absent(text) ? kRespJson : kRespText);
    const auto moves = allocate<anpr_list_move>(request.count);
    if (!request.count_valid || moves == nullptr)
        return cgi_error_to_webserver(kRespText);
    const int filled = fill_moves(request, moves.get());
    if (update_anpr_lists(ANPR_DB_PATH, moves.get(), filled) != 0)
        return cgi_error_to_webserver(kRespText);
    return cgi_writeback_webserver(kRespText, "OK");
}
