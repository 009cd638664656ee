// Demo plate lists: a few black-listed and white-listed plates, and the
// black list mode of the first demo camera raising the first alarm output
// with a mail and a picture.
#include "modules/video/anpr.h"
#include "nvrconf.h"
#include "nvrconf_demo.h"
#include "platform/anprdb/anpr_list.h"
#include "platform/confdb/confdb.h"

namespace {

constexpr anpr_list_entry kDemoPlates[] = {
    {"black", "B123XYZ"}, {"black", "KL7788"}, {"white", "AB1234"},
    {"white", "CD5678"},  {"white", "EF9012"}, {"visitor", "VIS001"},
};

} // namespace

int add_demo_anpr()
{
    const int count = count_anpr_lists(ANPR_DB_PATH);
    if (count < 0)
        return -1;
    if (count == 0 && write_anpr_list_replace_batch(ANPR_DB_PATH, kDemoPlates,
                                                    sizeof kDemoPlates / sizeof kDemoPlates[0]) != 0)
        return -1;
    anpr_list_close();
    const smart_event_record record = demo_smart_event(0);
    return store_if_absent(kRecAnprEvent, anpr_event_id(0, 0), &record, sizeof record);
}
