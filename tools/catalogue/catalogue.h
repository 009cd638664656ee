// The catalogue of registered web resources, one row per registry entry,
// in the order of the tables and of their rows.
#pragma once
#include <string>
#include <vector>

#include "front/dispatchreq.h"

struct CatalogueRow {
    std::string path;
    std::string handler; // the handler function's name
    std::string module;  // the folder under src/modules holding the table
    std::string table;   // the table's name
    std::string right;   // the right a request needs
};

// "live view" for WebRight::LiveView and so on; "unset" for a row without one.
const char *web_right_name(WebRight right);
// The module folder of a table's source file: "storage" for
// ".../src/modules/storage/storage_table.cpp", else the file's folder.
std::string module_of_file(const char *file);
std::vector<CatalogueRow> catalogue_rows();
