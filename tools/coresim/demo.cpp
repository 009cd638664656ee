#include "demo.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

std::map<int32_t, DemoHandler> &demo_table()
{
    static std::map<int32_t, DemoHandler> table;
    return table;
}

} // namespace

void demo_register(const DemoRow *rows, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (!demo_table().emplace(rows[i].code, rows[i].handler).second) {
            fprintf(stderr, "coresim: demo code %d is registered twice\n", rows[i].code);
            abort();
        }
    }
}

Answer demo_answer(const CoreMessage &message)
{
    Answer answer;
    const auto found = demo_table().find(message.code);
    if (found == demo_table().end())
        fprintf(stderr, "coresim: the demo device does not know code %d: no reply\n", message.code);
    else
        found->second(message, answer);
    return answer;
}

std::string demo_int32s(std::initializer_list<int32_t> values)
{
    std::string out;
    for (const int32_t value : values) {
        const auto bits = static_cast<uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8)
            out += static_cast<char>(bits >> shift);
    }
    return out;
}
