// Names of this program's own functions, read from the symbol table of its
// executable file: the catalogue names each resource's handler by it.
#pragma once
#include <string>

// The plain name of the function at `address` ("on_get_disks" for
// "(anonymous namespace)::on_get_disks(char*)"); empty when the executable
// has no symbol there (a stripped build).
std::string function_name_at(const void *address);
