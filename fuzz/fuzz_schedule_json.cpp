// Parses arbitrary text as a request, runs every schedule decoder and the
// copy mask over it, and encodes the decoded records again.
#include <cstdint>
#include <cstdio>
#include <string>

#include "codecs/json_util.h"
#include "codecs/params.h"
#include "codecs/schedule.h"
#include "front/cgi_env.h"

namespace {

using Decoder = int (*)(json_object *, const char *, schedule_record *);
using Encoder = json_object *(*)(const schedule_record *);

void round_trip(json_object *request, Decoder decode, Encoder encode)
{
    static schedule_record record;
    for (const char *key : {"effective", "schedule", "missing"}) {
        if (decode(request, key, &record) != 0)
            continue;
        const JsonPtr encoded(encode(&record));
        json_object_to_json_string(encoded.get());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    cgiOut = fopen("/dev/null", "w");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const JsonPtr request(get_request_tokener_json_object(text.c_str()));
    round_trip(request.get(), get_schedule_by_json, get_schedule_json_object);
    round_trip(request.get(), get_schedule_by_json_ex, get_schedule_json_object_ex);
    round_trip(request.get(), get_schedule_by_json_ipc, get_schedule_json_object_ipc);
    round_trip(request.get(), get_record_schedule_by_json, get_record_schedule_json_object);
    get_copy_flag_by_json(request.get(), "copyChn", "copyCnt");
    return 0;
}
