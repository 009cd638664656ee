#include "codecs/json_util.h"

#include "front/web_utils.h"

int cgi_write_json(int kind, json_object *object)
{
    if (object == nullptr)
        return -1;
    return cgi_writeback_webserver(kind, json_object_to_json_string(object));
}
