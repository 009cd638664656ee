// The catalogue against the registry it is made from: every registered
// resource once, with its real handler's name, its module and its right.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "../../tools/catalogue/catalogue.h"
#include "../../tools/catalogue/elf_symbols.h"

namespace {

int probe_handler(char *) { return 0; }

TEST(Catalogue, ListsExactlyTheRegisteredRowsWithNamedHandlers)
{
    std::map<std::string, const WebRes *> registered;
    for (int slot = 0; slot < MAX_WEBREQ_COUNT; ++slot) {
        if (const WebRes *resource = WebResAt(slot))
            registered[resource->path] = resource;
    }
    std::map<std::string, CatalogueRow> listed;
    for (const CatalogueRow &row : catalogue_rows())
        EXPECT_TRUE(listed.emplace(row.path, row).second) << "listed twice: " << row.path;

    ASSERT_EQ(listed.size(), registered.size());
    for (const auto &[path, resource] : registered) {
        ASSERT_EQ(listed.count(path), 1u) << "not listed: " << path;
        const CatalogueRow &row = listed.at(path);
        EXPECT_EQ(row.right, web_right_name(resource->right)) << path;
        EXPECT_EQ(row.handler, function_name_at(reinterpret_cast<const void *>(resource->handler))) << path;
        EXPECT_FALSE(row.handler.empty()) << path;
        EXPECT_FALSE(row.module.empty()) << path;
        EXPECT_NE(row.table.find("web_res"), std::string::npos) << path;
    }
    EXPECT_EQ(listed.at("/1000").right, "open");
    EXPECT_EQ(listed.at("/6100").module, "storage");
    EXPECT_EQ(listed.at("/8008").right, "status");
}

TEST(Catalogue, NamesFunctionsAndModulesPlainly)
{
    EXPECT_EQ(function_name_at(reinterpret_cast<const void *>(probe_handler)), "probe_handler");
    EXPECT_EQ(function_name_at(reinterpret_cast<const void *>(&catalogue_rows)), "catalogue_rows");
    EXPECT_EQ(function_name_at(nullptr), "");
    EXPECT_EQ(module_of_file("/src/x/src/modules/camera/camera_table.cpp"), "camera");
    EXPECT_EQ(module_of_file("tests/support/probe_table.cpp"), "support");
    EXPECT_EQ(module_of_file("table.cpp"), "");
    EXPECT_EQ(module_of_file(nullptr), "");
}

} // namespace
