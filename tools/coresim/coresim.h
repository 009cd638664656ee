// Shared types of the core daemon stand-in: a received message, the steps
// of an answer (replies and pauses), and the responder that turns one into
// the other.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct CoreMessage {
    uint32_t seq = 0;
    uint32_t flags = 0;
    int32_t code = 0;
    std::string payload;
};

// One step of an answer: a reply frame, or a pause before the next step.
struct AnswerStep {
    bool is_pause = false;
    int delay_ms = 0;
    int32_t code = 0;
    std::string payload;

    static AnswerStep reply(int32_t code, std::string payload)
    {
        return {false, 0, code, std::move(payload)};
    }
    static AnswerStep pause(int ms) { return {true, ms, 0, {}}; }
};

using Answer = std::vector<AnswerStep>;

// Called once for every message received, also for fire-and-forget ones
// (whose answer is then dropped unsent).
using Responder = std::function<Answer(const CoreMessage &)>;
