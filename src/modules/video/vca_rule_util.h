// The shapes the smart analytics rule pages share: a getter sends the
// channel and lets the reply decoder answer; a setter fills the rule from
// its field table, saves the action dialog and sends the rule.
#pragma once

#include <json-c/json.h>

#include <cstddef>
#include <cstdint>

#include "codecs/wire_fields.h"
#include "core/reply_reader.h"

// The four regions of a rule: where its region type word and its first
// region lie, and the fields of a region's header.
struct VcaRegions {
    size_t type_offset;
    size_t base;
    WireLayout head;
};

struct VcaSetter {
    int code;
    size_t size;
    WireLayout fields;
    const VcaRegions *regions; // null: the rule has no regions
    size_t copy_offset;        // the copy channel text
    int index;                 // smart event of the dialog; -1: the request's "type"
    int error_kind;            // the error written when no reply comes
    bool silent;               // a bad body or channel gets no answer (else the error)
    // What no field table holds, filled after the fields and regions;
    // false gets the error. Null: nothing more.
    bool (*complete)(json_object *request, unsigned char *rule);
};

// Getter of a rule: {"channel": n} (0 when missing) must be 0..63, else the
// JSON error; a body that is not JSON gets no answer. Sends n and waits.
int vca_get_rule(json_object *request, int code);
int vca_get_rule_text(const char *text, int code);
// Setter of a rule by its table.
int vca_set_rule(json_object *request, const VcaSetter &setter);
int vca_set_rule_text(const char *text, const VcaSetter &setter);
// Sends a filled rule and waits; without a reply the error of `error_kind`.
int vca_send_rule(int code, const void *payload, size_t size, int error_kind);
// The copy mask of the copy channel text at `copy_offset` of a filled rule,
// then the dialog of smart event `index` (when the request has one); false
// when a database write of the dialog failed.
bool vca_save_dialog(json_object *request, int index, const unsigned char *rule, size_t copy_offset);
// Fills the regions of a rule from "regionInfo".
void vca_fill_regions(json_object *request, const VcaRegions &regions, unsigned char *record);

// Decoder answers: the JSON object, or "OK" / "FAILED" from a status word
// (a reply shorter than the word is no reply); both set the done flag.
int vca_answer_json(json_object *answer);
int vca_answer_status(const ReplyReader &reply);
// Decoders of the line, people counting and settings replies; 1 when
// `code` is one of them.
int vca_decode_line_reply(int code, const ReplyReader &reply);
