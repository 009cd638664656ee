#include "elf_symbols.h"

#include <cxxabi.h>
#include <link.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

struct SymbolTable {
    bool loaded = false;
    std::map<uintptr_t, std::string> functions; // file address -> raw name
    uintptr_t bias = 0;                         // load address of the executable
};

std::vector<char> read_whole(const char *path)
{
    std::vector<char> bytes;
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return bytes;
    char chunk[1 << 16];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

template <typename T> const T *at(const std::vector<char> &bytes, size_t offset, size_t count = 1)
{
    if (offset > bytes.size() || count > (bytes.size() - offset) / sizeof(T))
        return nullptr;
    return reinterpret_cast<const T *>(bytes.data() + offset);
}

int main_program_bias(dl_phdr_info *info, size_t, void *out)
{
    *static_cast<uintptr_t *>(out) = info->dlpi_addr;
    return 1; // the first object is the executable itself
}

void load_functions(SymbolTable *table)
{
    table->loaded = true;
    dl_iterate_phdr(main_program_bias, &table->bias);
    const std::vector<char> bytes = read_whole("/proc/self/exe");
    const auto *header = at<ElfW(Ehdr)>(bytes, 0);
    if (header == nullptr || memcmp(header->e_ident, ELFMAG, SELFMAG) != 0)
        return;
    const auto *sections = at<ElfW(Shdr)>(bytes, header->e_shoff, header->e_shnum);
    if (sections == nullptr)
        return;
    for (int i = 0; i < header->e_shnum; ++i) {
        const ElfW(Shdr) &symtab = sections[i];
        if (symtab.sh_type != SHT_SYMTAB || symtab.sh_link >= header->e_shnum)
            continue;
        const ElfW(Shdr) &strtab = sections[symtab.sh_link];
        const size_t count = symtab.sh_size / sizeof(ElfW(Sym));
        const auto *symbols = at<ElfW(Sym)>(bytes, symtab.sh_offset, count);
        if (symbols == nullptr || at<char>(bytes, strtab.sh_offset, strtab.sh_size) == nullptr)
            continue;
        // The type is the low four bits of st_info in both ELF classes.
        for (size_t s = 0; s < count; ++s) {
            if (ELF64_ST_TYPE(symbols[s].st_info) != STT_FUNC || symbols[s].st_name >= strtab.sh_size)
                continue;
            const char *name = bytes.data() + strtab.sh_offset + symbols[s].st_name;
            table->functions.emplace(symbols[s].st_value,
                                     std::string(name, strnlen(name, strtab.sh_size - symbols[s].st_name)));
        }
    }
}

// "ns::(anonymous namespace)::on_get_disks(char*)" -> "on_get_disks".
std::string plain_name(const std::string &raw)
{
    int status = 0;
    std::unique_ptr<char, decltype(&free)> demangled(
        abi::__cxa_demangle(raw.c_str(), nullptr, nullptr, &status), free);
    std::string name = status == 0 && demangled ? demangled.get() : raw;
    const size_t arguments = name.find('(', name.rfind("::") == std::string::npos ? 0 : name.rfind("::"));
    if (arguments != std::string::npos && arguments > 0)
        name.resize(arguments);
    const size_t scope = name.rfind("::");
    return scope == std::string::npos ? name : name.substr(scope + 2);
}

} // namespace

std::string function_name_at(const void *address)
{
    static SymbolTable table;
    if (!table.loaded)
        load_functions(&table);
    const auto found = table.functions.find(reinterpret_cast<uintptr_t>(address) - table.bias);
    return found == table.functions.end() ? std::string() : plain_name(found->second);
}
