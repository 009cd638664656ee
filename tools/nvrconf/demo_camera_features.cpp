// Demo data of the camera feature pages that the database keeps: the
// password the PoE ports give their cameras.
#include "nvrconf_demo.h"
#include "platform/confdb/confdb.h"

int add_demo_camera_features()
{
    if (check_param_key(ZQDB_PATH, "poepsd") == 0)
        return 0;
    return add_param_value(ZQDB_PATH, "poepsd", "Poe4-demo");
}
