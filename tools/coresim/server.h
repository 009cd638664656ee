// The listening side of the core message socket: one poll loop serving any
// number of connections, each carrying any number of requests.
#pragma once

#include <cstdio>
#include <string>

#include "coresim.h"

struct ServerOptions {
    std::string socket_path;
    std::string ready_path;  // created once the socket listens (may be empty)
    std::string record_path; // every received message is appended here (may be empty)
};

// Listens on the socket and answers every message through `responder` until
// SIGTERM or SIGINT; then reads what the clients already sent, removes the
// socket and returns 0. Returns 1 when the socket or a file cannot be set up.
int run_server(const ServerOptions &options, const Responder &responder);

// The record line of one message: "CODE FLAGS HEX" ("-" for no payload).
std::string record_line(const CoreMessage &message);
