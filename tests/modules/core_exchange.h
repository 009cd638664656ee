// A handler run against a core daemon of the test's own that answers each
// message the handler waits on with its reply code (request + 5000) and
// one payload: the answer written and the core messages sent, in order.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db_support.h"
#include "fake_daemon.h"
#include "platform/confdb/confdb.h"
#include "reply_support.h"

struct Exchange {
    std::vector<ReceivedFrame> frames;
    std::string out;
};

// Returns once the handler has returned and `frames` messages have come in
// (fire-and-forget ones may arrive after the handler returns).
inline Exchange exchange(const TempRoot &root, int (*handler)(char *), std::string text, size_t frames,
                         const std::string &reply = std::string(4, '\0'))
{
    FakeDaemon daemon(root, [reply](const ReceivedFrame &frame) {
        if ((frame.fields.flags & kMsgFlagNoReply) != 0)
            return std::vector<DaemonReply>{};
        return std::vector<DaemonReply>{{0, encode_frame(frame.fields.code + 5000, reply)}};
    });
    Exchange result;
    {
        CapturedOutput output;
        handler(text.data());
        result.out = output.text();
    }
    EXPECT_TRUE(daemon.wait_frames(frames)) << "expected " << frames << " core messages";
    result.frames = daemon.frames();
    return result;
}

using CoreExchangeTest = DatabaseTest;

inline std::string text_answer(const std::string &text) { return kTextHead + text; }
