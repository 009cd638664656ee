// coresim: stand-in for the core daemon. Listens on the core message socket
// and answers either as a small demo recorder or from a test script, and
// can record every message it receives.
#include <cstdio>
#include <cstring>
#include <string>

#include "demo.h"
#include "platform/msgsock/msgsock.h"
#include "platform/sysutil/nvr_path.h"
#include "script.h"
#include "server.h"

namespace {

const char kUsage[] =
    R"(usage: coresim (--demo | --script FILE) [--record FILE] [--socket PATH] [--ready FILE]

Stand-in for the core daemon: listens on a Unix stream socket (default
$NVR_ROOT/var/run/zqsocket) and answers core messages until SIGTERM or SIGINT.

  --demo          answer as a small demo recorder that keeps its changes
  --script FILE   answer as FILE says (format below)
  --record FILE   append one line per received message: CODE FLAGS HEX
                  (HEX is the payload in hexadecimal, "-" when empty);
                  each line is flushed as the message arrives
  --socket PATH   listen on PATH
  --ready FILE    create FILE (holding the process id) once the socket
                  listens; it is removed again at exit
  --help          this text

On SIGTERM the messages clients have already written are still read and
recorded (not answered); then the socket file is removed and coresim exits 0.

Frames: a 24-byte header ("NVRM", u32 sequence, u32 flags, i32 code,
u32 reserved, u32 payload size, little-endian) and the payload. A reply
repeats the request's sequence number; a request with flag bit 0 set gets no
reply. A wrong magic or a payload over 16 MiB closes that connection.

Script format, one line each, '#' starts a comment line:
  reply REQ REPLY [PAYLOAD]  answer a request with code REQ by a reply with
                             code REPLY; several lines for one REQ send
                             several replies, in order
  delay REQ MS               pause MS milliseconds at this point of REQ's
                             answer (before the replies that follow it)
  noreply REQ                REQ gets no reply (the same as not naming REQ
                             at all, which is also noted on stderr)
  next REQ                   the lines for REQ that follow answer the next
                             request with code REQ; when the rounds run out
                             the last round is sent again for every further
                             request
Replies to one connection are sent in request order: a delayed answer holds
back the answers to later requests on the same connection, never those on
other connections.

PAYLOAD is blank-separated pieces, joined in order:
  hex:0a0B1c           bytes in hexadecimal
  text:a\sb\r\n        escaped text, no terminator added
  str:N:text           escaped text in a field of N bytes, zero-filled
  zero:N               N zero bytes
  i8:, i16:, i32:, i64: comma-separated integers (decimal or 0x hex, may be
                       negative), little-endian at that width: i32:100,20,80
  -                    an empty payload
Escapes: \r \n \t \0 \s (blank) \\ \xHH.

Example:
  reply 3306 8306 i32:100,20,80
  delay 3400 500
  reply 3400 8400 i32:1 str:32:name\sone zero:4
)";

struct Options {
    bool demo = false;
    std::string script;
    ServerOptions server;
};

// 0 to run, 1 for --help, -1 for a usage error.
int parse_args(int argc, char **argv, Options *options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--help" || arg == "-h")
            return 1;
        if (arg == "--demo")
            options->demo = true;
        else if (arg == "--script" && has_value)
            options->script = argv[++i];
        else if (arg == "--record" && has_value)
            options->server.record_path = argv[++i];
        else if (arg == "--socket" && has_value)
            options->server.socket_path = argv[++i];
        else if (arg == "--ready" && has_value)
            options->server.ready_path = argv[++i];
        else {
            fprintf(stderr, "coresim: unknown or incomplete argument: %s\n", arg.c_str());
            return -1;
        }
    }
    if (options->demo == !options->script.empty()) {
        fprintf(stderr, "coresim: give exactly one of --demo and --script\n");
        return -1;
    }
    if (options->server.socket_path.empty())
        options->server.socket_path = NvrPath(kCoreSocketPath).c_str();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    const int parsed = parse_args(argc, argv, &options);
    if (parsed != 0) {
        fputs(kUsage, parsed > 0 ? stdout : stderr);
        return parsed > 0 ? 0 : 2;
    }
    if (options.demo)
        return run_server(options.server, demo_answer);

    Script script;
    std::string error;
    if (!script.load(options.script, &error)) {
        fprintf(stderr, "coresim: %s\n", error.c_str());
        return 2;
    }
    return run_server(options.server,
                      [&script](const CoreMessage &message) { return script.answer(message); });
}
