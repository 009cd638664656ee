// The product's own tables, as registered before main: every resource names
// its right, only the logins and the restart poll are open, and each family
// of resources asks for the right its pages are about.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "front/dispatchreq.h"

namespace {

struct Family {
    int first;
    int last;
    std::set<WebRight> rights;
};

// Numbered families whose right is fixed; a path in none of them may ask
// for any right but Open and Unset.
const Family kFamilies[] = {
    {1000,
     1034,
     {WebRight::Open, WebRight::Session, WebRight::Settings, WebRight::Retrieve, WebRight::Shutdown}},
    {2000, 2034, {WebRight::Camera, WebRight::Retrieve}},
    // The recorder's motion and smart event schedules.
    {2035, 2036, {WebRight::Event}},
    {2037, 2082, {WebRight::Camera, WebRight::Retrieve}},
    // Live pictures and recorded video share both families.
    {3000, 3004, {WebRight::LiveView, WebRight::Playback}},
    {4000, 4027, {WebRight::LiveView, WebRight::Playback, WebRight::Retrieve}},
    // Driving a PTZ camera is live viewing; its own PTZ settings are the
    // camera's.
    {5000, 5012, {WebRight::LiveView, WebRight::Camera}},
    {6030, 6031, {WebRight::Settings}},
    {6040, 6047, {WebRight::Settings}},
    // PTZ ports, speeds and tours; the live page asks for PTZ support.
    {6050, 6057, {WebRight::Settings, WebRight::LiveView}},
    // Online and camera firmware upgrades.
    {6082, 6089, {WebRight::Shutdown}},
    {6100, 6109, {WebRight::Storage}},
    {6200, 6227, {WebRight::Storage}},
    {7000, 7099, {WebRight::Settings}},
    {8000, 8011, {WebRight::Status, WebRight::Session}},
};

int path_number(const char *path)
{
    char *end = nullptr;
    const long number = strtol(path + 1, &end, 10);
    return path[0] == '/' && end != path + 1 && *end == '\0' ? static_cast<int>(number) : -1;
}

TEST(RegistryRights, EveryRegisteredResourceNamesItsRight)
{
    std::set<std::string> open;
    int rows = 0;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        const WebRes *resource = WebResAt(slot);
        if (resource == nullptr)
            continue;
        ++rows;
        EXPECT_NE(resource->right, WebRight::Unset) << resource->path;
        if (resource->right == WebRight::Open)
            open.insert(resource->path);
        const int number = path_number(resource->path);
        for (const Family &family : kFamilies) {
            if (number < family.first || number > family.last)
                continue;
            EXPECT_TRUE(family.rights.count(resource->right) != 0)
                << resource->path << " asks for right " << static_cast<int>(resource->right);
        }
    }
    EXPECT_GT(rows, 50);
    for (const std::string &path : open)
        EXPECT_TRUE(path == "/1000" || path == "/1018" || path == "/1005") << path << " is open";
    EXPECT_EQ(open.count("/1000"), 1u);
    EXPECT_EQ(open.count("/1018"), 1u);
}

} // namespace
