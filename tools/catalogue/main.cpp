// catalogue: writes the list of every registered web resource (path,
// handler, module, table, right) as JSON for the web console and as a
// Markdown table for docs/, straight from the tables linked into it.
#include <json-c/json.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue.h"

namespace {

constexpr const char *kUsage = "usage: catalogue [--json FILE] [--markdown FILE]\n";

std::string read_file(const std::string &path)
{
    std::string text;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr)
        return text;
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        text.append(chunk, got);
    fclose(file);
    return text;
}

// Writes only when the text changed, so a build that changes no table
// leaves the file (and what depends on its time) alone.
bool write_if_changed(const std::string &path, const std::string &text)
{
    if (read_file(path) == text)
        return true;
    FILE *file = fopen(path.c_str(), "wb");
    if (file == nullptr) {
        fprintf(stderr, "catalogue: cannot write %s\n", path.c_str());
        return false;
    }
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

std::string as_json(const std::vector<CatalogueRow> &rows)
{
    json_object *list = json_object_new_array();
    for (const CatalogueRow &row : rows) {
        json_object *entry = json_object_new_object();
        json_object_object_add(entry, "path", json_object_new_string(row.path.c_str()));
        json_object_object_add(entry, "handler", json_object_new_string(row.handler.c_str()));
        json_object_object_add(entry, "module", json_object_new_string(row.module.c_str()));
        json_object_object_add(entry, "table", json_object_new_string(row.table.c_str()));
        json_object_object_add(entry, "right", json_object_new_string(row.right.c_str()));
        json_object_array_add(list, entry);
    }
    json_object *root = json_object_new_object();
    json_object_object_add(root, "resources", list);
    std::string text = json_object_to_json_string_ext(
        root, JSON_C_TO_STRING_PRETTY | JSON_C_TO_STRING_SPACED | JSON_C_TO_STRING_NOSLASHESCAPE);
    json_object_put(root);
    return text + "\n";
}

std::string as_markdown(const std::vector<CatalogueRow> &rows)
{
    std::string text = "# Web resources\n\n"
                       "Every resource the CGI program serves, with the right a request needs for it.\n"
                       "The build writes this file from the registered tables; do not edit it.\n\n"
                       "| path | handler | module | table | right |\n"
                       "|---|---|---|---|---|\n";
    for (const CatalogueRow &row : rows)
        text += "| `" + row.path + "` | `" + row.handler + "` | " + row.module + " | `" + row.table + "` | " +
                row.right + " |\n";
    text += "\n" + std::to_string(rows.size()) + " resources.\n";
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const char *json_path = nullptr;
    const char *markdown_path = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--json") == 0)
            json_path = argv[i + 1];
        else if (strcmp(argv[i], "--markdown") == 0)
            markdown_path = argv[i + 1];
        else
            return fputs(kUsage, stderr), 2;
    }
    if (argc % 2 == 0)
        return fputs(kUsage, stderr), 2;
    const std::vector<CatalogueRow> rows = catalogue_rows();
    for (const CatalogueRow &row : rows) {
        if (row.handler.empty()) {
            fprintf(stderr, "catalogue: no symbol names the handler of %s (stripped build?)\n",
                    row.path.c_str());
            return 1;
        }
    }
    if (json_path == nullptr && markdown_path == nullptr)
        return fputs(as_json(rows).c_str(), stdout) < 0;
    bool ok = true;
    if (json_path != nullptr)
        ok = write_if_changed(json_path, as_json(rows)) && ok;
    if (markdown_path != nullptr)
        ok = write_if_changed(markdown_path, as_markdown(rows)) && ok;
    return ok ? 0 : 1;
}
