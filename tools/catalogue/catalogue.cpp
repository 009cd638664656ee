#include "catalogue.h"

#include <cstring>

#include "elf_symbols.h"

const char *web_right_name(WebRight right)
{
    switch (right) {
    case WebRight::Unset:
        break;
    case WebRight::Open:
        return "open";
    case WebRight::Session:
        return "session";
    case WebRight::LiveView:
        return "live view";
    case WebRight::Playback:
        return "playback";
    case WebRight::Retrieve:
        return "retrieve";
    case WebRight::SmartAnalysis:
        return "smart analysis";
    case WebRight::Event:
        return "event";
    case WebRight::Camera:
        return "camera";
    case WebRight::Storage:
        return "storage";
    case WebRight::Settings:
        return "settings";
    case WebRight::Status:
        return "status";
    case WebRight::Shutdown:
        return "shutdown";
    }
    return "unset";
}

std::string module_of_file(const char *file)
{
    const std::string path = file != nullptr ? file : "";
    const std::string marker = "/modules/";
    const size_t modules = path.rfind(marker);
    const size_t start =
        modules != std::string::npos ? modules + marker.size() : path.rfind('/', path.rfind('/') - 1) + 1;
    const size_t end = path.find('/', start);
    return end == std::string::npos ? std::string() : path.substr(start, end - start);
}

std::vector<CatalogueRow> catalogue_rows()
{
    std::vector<CatalogueRow> rows;
    for (int t = 0; const WebTableInfo *table = WebTableAt(t); ++t) {
        for (int r = 0; r < table->count; ++r) {
            const WebRes &row = table->rows[r];
            // A row the registry refused (its path taken already) is not served.
            const WebRes *served = FindWebRes(row.path);
            if (served == nullptr || served->handler != row.handler)
                continue;
            rows.push_back({row.path, function_name_at(reinterpret_cast<const void *>(row.handler)),
                            module_of_file(table->file), table->name, web_right_name(row.right)});
        }
    }
    return rows;
}
