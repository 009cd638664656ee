// Scripted answers for tests: per request code, the replies and pauses to
// send. The format is described in coresim's --help (main.cpp).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "coresim.h"

class Script {
public:
    // Reads a script; false with `error` naming the line when it is malformed.
    bool load(const std::string &path, std::string *error);
    bool parse_line(const std::string &line, std::string *error);

    // The answer to one message: the next round of its code (the last round
    // again once they are used up); nothing for a code the script does not name.
    Answer answer(const CoreMessage &message);

private:
    struct Rounds {
        std::vector<Answer> rounds{Answer{}};
        std::vector<bool> silent{false}; // round declared with "noreply"
        size_t served = 0;
    };
    std::map<int32_t, Rounds> codes_;
};
