// Runs every end-to-end case file against the real executables: builds the
// CGI environment, feeds the body on stdin inside a private NVR_ROOT, with
// coresim standing in for the core daemon when the case scripts it, and
// compares what the program wrote (and sent to the core daemon) byte for
// byte. The case format is in tests/e2e/README.md.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "coresim/payload_text.h"
#include "pattern_match.h"
#include "../support/scratch_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

struct FileCheck {
    std::string path;
    std::string pattern;
};

struct CoreMessage {
    long long code = 0;
    unsigned long long flags = 0;
    std::string payload;
};

// The core daemon stand-in of a case: started only when a core line is given.
struct CoreSetup {
    bool used = false;
    bool demo = false;
    std::vector<std::string> script; // coresim script lines
    bool check_messages = false;     // a core-expect line was given
    std::vector<CoreMessage> expected;
};

// A record of the configuration database checked after the run: the whole
// record (offset -1) or the bytes at an offset; `absent` for no record.
struct RecordCheck {
    std::string kind;
    std::string id;
    long offset = -1;
    bool absent = false;
    std::string bytes;
};

// One run of the program and what it must write.
struct Request {
    std::string as_user; // whose session's cookies it sends: "" the first login's, "-" none
    int sleep_ms = 0;    // pause before it runs
    std::string exe = "nvrweb.cgi";
    std::vector<std::string> env;
    std::string stdin_bytes;
    std::string expected_stdout;
    std::string stdout_pattern; // stdout-match lines, joined
    bool match_stdout = false;
    int expected_exit = 0;
    int timeout_s = 20;
    bool own_netns = false; // netns: isolated
};

// login: USER [FLAGS [LIVEVIEW PLAYBACK]]: the account, its web rights and
// channel lists (nvrconf rights), logged in before the case's requests. A
// user's second login is a second session, known as USER#2 (and so on),
// of the account as the first one set it up.
struct Login {
    std::string user;
    std::vector<std::string> rights;
    std::string label;
    bool again = false;
};

struct Case {
    std::string name;
    std::vector<Login> logins;
    std::vector<std::vector<std::string>> conf; // setup-conf/setup-record: nvrconf runs
    std::vector<RecordCheck> record_checks;
    std::vector<std::pair<std::string, std::string>> conf_checks; // key, expected value
    std::vector<Request> requests = {Request{}};
    std::vector<std::pair<std::string, std::string>> setup_files;
    std::vector<std::string> setup_dirs;
    std::vector<std::pair<std::string, std::string>> setup_execs; // executable files
    std::vector<std::string> setup_tools; // stand-ins of the build's bin/ put in root/bin
    std::vector<FileCheck> file_matches;
    std::vector<std::string> files_absent;
    std::vector<std::string> dir_entries; // "PATH NAME..." of dir-entries lines
    CoreSetup core;
};

// ---------------------------------------------------------------- parsing

using payload_text::unescape;

std::string repeat(const std::string &argument)
{
    const size_t space = argument.find(' ');
    const int count = std::stoi(argument.substr(0, space));
    const std::string unit = unescape(space == std::string::npos ? "" : argument.substr(space + 1));
    std::string out;
    for (int i = 0; i < count; ++i)
        out += unit;
    return out;
}

std::pair<std::string, std::string> split_first_word(const std::string &text)
{
    const size_t space = text.find(' ');
    if (space == std::string::npos)
        return {text, ""};
    return {text.substr(0, space), text.substr(space + 1)};
}

bool is_number(const std::string &word)
{
    uint64_t ignored = 0;
    return payload_text::parse_int(word, 4, &ignored);
}

// "CODE FLAGS [PAYLOAD]" of a core-expect line.
bool parse_expected_message(const std::string &value, CoreMessage *out, std::string *error)
{
    auto [code, rest] = split_first_word(value);
    auto [flags, payload] = split_first_word(rest);
    uint64_t code_bits = 0;
    uint64_t flag_bits = 0;
    if (!payload_text::parse_int(code, 4, &code_bits) || !payload_text::parse_int(flags, 4, &flag_bits)) {
        *error = "core-expect needs a code and flags";
        return false;
    }
    out->code = static_cast<int32_t>(static_cast<uint32_t>(code_bits));
    out->flags = static_cast<uint32_t>(flag_bits);
    return payload_text::parse(payload, &out->payload, error);
}

// Core lines become coresim script lines; payloads are checked here and
// handed on in hex so that nothing is escaped twice.
bool parse_core_line(const std::string &key, const std::string &value, CoreSetup *core, std::string *error)
{
    core->used = true;
    if (key == "core") {
        core->demo = value == "demo";
        if (value != "demo" && value != "script")
            *error = "core: takes demo or script";
        return error->empty();
    }
    if (key == "core-reply") {
        auto [request, rest] = split_first_word(value);
        auto [reply, payload_words] = split_first_word(rest);
        std::string payload;
        if (!is_number(request) || !is_number(reply)) {
            *error = "core-reply needs a request code and a reply code";
            return false;
        }
        if (!payload_text::parse(payload_words, &payload, error))
            return false;
        core->script.push_back("reply " + request + " " + reply + " hex:" + payload_text::to_hex(payload));
        return true;
    }
    if (key == "core-delay" || key == "core-noreply" || key == "core-next") {
        auto [request, rest] = split_first_word(value);
        const bool valid = is_number(request) && (key == "core-delay" ? is_number(rest) : rest.empty());
        if (!valid)
            *error = key == "core-delay" ? "core-delay needs a request code and milliseconds"
                                         : key + " needs a request code only";
        core->script.push_back(key.substr(5) + " " + value);
        return valid;
    }
    if (key == "core-expect") {
        core->check_messages = true;
        if (value == "none")
            return true;
        CoreMessage message;
        if (!parse_expected_message(value, &message, error))
            return false;
        core->expected.push_back(message);
        return true;
    }
    *error = "unknown core line";
    return false;
}

std::vector<std::string> words_of(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// "KIND ID PAYLOAD" of setup-record, "KIND ID PAYLOAD|-" of record-expect and
// "KIND ID OFFSET PAYLOAD" of record-slice.
bool parse_record_line(const std::string &key, const std::string &value, Case *c, std::string *error)
{
    auto [kind, rest] = split_first_word(value);
    auto [id, payload_words] = split_first_word(rest);
    RecordCheck check{kind, id};
    if (key == "record-slice") {
        auto [offset, tail] = split_first_word(payload_words);
        check.offset = is_number(offset) ? std::stol(offset) : -1;
        payload_words = tail;
        if (check.offset < 0) {
            *error = "record-slice needs an offset";
            return false;
        }
    }
    if (!is_number(kind) || !is_number(id)) {
        *error = key + " needs a record kind and id";
        return false;
    }
    check.absent = key == "record-expect" && payload_words == "-";
    if (!check.absent && !payload_text::parse(payload_words, &check.bytes, error))
        return false;
    if (key == "setup-record")
        c->conf.push_back({"record", kind, id, payload_text::to_hex(check.bytes)});
    else
        c->record_checks.push_back(check);
    return true;
}

Case parse_case(const std::string &file)
{
    Case c;
    c.name = file;
    std::ifstream in(std::string(NVR_CASES_DIR) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t colon = line.find(": ");
        const std::string key =
            colon == std::string::npos ? line.substr(0, line.find(':')) : line.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : line.substr(colon + 2);
        std::string error;
        Request &request = c.requests.back();
        if (key == "step") {
            c.requests.push_back(Request{value});
        } else if (key == "sleep")
            request.sleep_ms = std::stoi(value);
        else if (key == "exe")
            request.exe = value == "probe" ? "nvrweb-probe.cgi" : value;
        else if (key == "env")
            request.env.push_back(unescape(value));
        else if (key == "stdin")
            request.stdin_bytes += unescape(value);
        else if (key == "stdin-repeat")
            request.stdin_bytes += repeat(value);
        else if (key == "stdout")
            request.expected_stdout += unescape(value);
        else if (key == "stdout-match") {
            request.stdout_pattern += value;
            request.match_stdout = true;
        } else if (key == "stdout-repeat")
            request.expected_stdout += repeat(value);
        else if (key == "exit")
            request.expected_exit = std::stoi(value);
        else if (key == "timeout")
            request.timeout_s = std::stoi(value);
        else if (key == "netns") {
            request.own_netns = value == "isolated";
            if (!request.own_netns)
                ADD_FAILURE() << file << ": netns: takes isolated";
        } else if (key == "setup-dir")
            c.setup_dirs.push_back(value);
        else if (key == "setup-file") {
            auto [path, text] = split_first_word(value);
            c.setup_files.emplace_back(path, unescape(text));
        } else if (key == "setup-exec") {
            auto [path, text] = split_first_word(value);
            c.setup_execs.emplace_back(path, unescape(text));
        } else if (key == "conf-expect") {
            auto [conf_key, text] = split_first_word(value);
            c.conf_checks.emplace_back(conf_key, unescape(text));
        } else if (key == "setup-tool")
            c.setup_tools.push_back(value);
        else if (key == "file-match") {
            auto [path, pattern] = split_first_word(value);
            c.file_matches.push_back({path, pattern});
        } else if (key == "file-absent")
            c.files_absent.push_back(value);
        else if (key == "dir-entries")
            c.dir_entries.push_back(value);
        else if (key == "login") {
            std::vector<std::string> words = words_of(value);
            if (words.size() != 1 && words.size() != 2 && words.size() != 4)
                ADD_FAILURE() << file << ": login takes USER [FLAGS [LIVEVIEW PLAYBACK]]: " << line;
            else {
                const auto earlier = std::count_if(c.logins.begin(), c.logins.end(), [&](const Login &login) {
                    return login.user == words[0];
                });
                const std::string label =
                    earlier == 0 ? words[0] : words[0] + "#" + std::to_string(earlier + 1);
                c.logins.push_back({words[0], {words.begin() + 1, words.end()}, label, earlier > 0});
            }
        } else if (key == "setup-conf")
            c.conf.push_back(words_of(value));
        else if (key == "setup-record" || key == "record-expect" || key == "record-slice") {
            if (!parse_record_line(key, value, &c, &error))
                ADD_FAILURE() << file << ": " << error << ": " << line;
        } else if (key.rfind("core", 0) == 0) {
            if (!parse_core_line(key, value, &c.core, &error))
                ADD_FAILURE() << file << ": " << error << ": " << line;
        } else
            ADD_FAILURE() << file << ": unknown line: " << line;
    }
    if (c.core.demo && !c.core.script.empty())
        ADD_FAILURE() << file << ": core: demo answers by itself; core-reply/delay/noreply/next do not apply";
    return c;
}

// ---------------------------------------------------------------- files

std::string read_file(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

void make_dirs(const std::string &path)
{
    for (size_t slash = 1; slash != std::string::npos; slash = path.find('/', slash + 1))
        mkdir(path.substr(0, slash).c_str(), 0755);
    mkdir(path.c_str(), 0755);
}

// Shows control bytes of a mismatch readably.
std::string visible(const std::string &bytes)
{
    std::string out;
    for (unsigned char ch : bytes) {
        if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n\n";
        else if (ch < 0x20 || ch >= 0x7f) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02x", ch);
            out += hex;
        } else
            out += static_cast<char>(ch);
    }
    return out;
}

// ---------------------------------------------------------------- processes

pid_t spawn(const std::vector<std::string> &args, std::vector<std::string> env, const std::string &stdin_path,
            const std::string &stdout_path, bool stderr_too)
{
    std::vector<char *> argv;
    for (const auto &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
#ifdef NVR_CHILD_ASAN_OPTIONS
    env.emplace_back(NVR_CHILD_ASAN_OPTIONS);
#endif
    std::vector<char *> envp;
    for (auto &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdin_path.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (stderr_too)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// Waits for `pid` until `deadline`; -1 when it is still running then.
int wait_until(pid_t pid, Clock::time_point deadline)
{
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// coresim for one case, in the case's work folder: core.script, core.record
// and core.log (its output) stay there for a failed case.
class CoreSim {
public:
    CoreSim(const CoreSetup &setup, const std::string &work, const std::string &root) : work_(work)
    {
        std::vector<std::string> args = {std::string(NVR_BIN_DIR) + "/coresim", "--record",
                                         work + "/core.record", "--ready", work + "/core.ready"};
        if (setup.demo) {
            args.emplace_back("--demo");
        } else {
            std::string script;
            for (const auto &line : setup.script)
                script += line + "\n";
            write_file(work + "/core.script", script);
            args.emplace_back("--script");
            args.push_back(work + "/core.script");
        }
        write_file(work + "/core.record", "");
        pid_ = spawn(args, {"NVR_ROOT=" + root}, "/dev/null", work + "/core.log", true);
    }
    ~CoreSim()
    {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    CoreSim(const CoreSim &) = delete;
    CoreSim &operator=(const CoreSim &) = delete;

    // True once the socket listens; false when coresim ended or took too long.
    bool wait_ready()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (access((work_ + "/core.ready").c_str(), F_OK) != 0) {
            if (pid_ <= 0 || Clock::now() > deadline)
                return false;
            if (waitpid(pid_, nullptr, WNOHANG) != 0) {
                pid_ = -1;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Stops coresim (it still records what was already sent); its exit code.
    int stop()
    {
        kill(pid_, SIGTERM);
        const int code = wait_until(pid_, Clock::now() + std::chrono::seconds(10));
        if (code >= 0)
            pid_ = -1;
        return code;
    }

    std::string log() const { return read_file(work_ + "/core.log"); }

    std::vector<CoreMessage> received() const
    {
        std::vector<CoreMessage> messages;
        std::istringstream lines(read_file(work_ + "/core.record"));
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            CoreMessage message;
            std::string hex;
            words >> message.code >> message.flags >> hex;
            if (hex != "-" && !payload_text::from_hex(hex, &message.payload))
                ADD_FAILURE() << "unreadable record line: " << line;
            messages.push_back(message);
        }
        return messages;
    }

private:
    std::string work_;
    pid_t pid_ = -1;
};

struct RunResult {
    std::string out;
    int exit_code = -1;
    bool timed_out = false;
};

// nvrconf with `args` in the case's root; its exit code and output.
int run_nvrconf(const std::vector<std::string> &args, const std::string &work, const std::string &root,
                std::string *output)
{
    std::vector<std::string> argv = {std::string(NVR_BIN_DIR) + "/nvrconf"};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = spawn(argv, {"NVR_ROOT=" + root}, "/dev/null", work + "/nvrconf.out", true);
    const int code = pid < 0 ? -1 : wait_until(pid, Clock::now() + std::chrono::seconds(20));
    *output = read_file(work + "/nvrconf.out");
    return code;
}

// `nvrconf init` in the case's root. The factory database is the same for
// every case of a build, and under the sanitizers or the emulator making it
// costs more than most cases: the first case stores the file it made beside
// the build's programs (named by nvrconf's size and time, so a rebuilt
// nvrconf makes a new one) and later cases copy it.
int init_database(const std::string &work, const std::string &root, std::string *output)
{
    namespace fs = std::filesystem;
    struct stat tool {};
    const std::string bin_dir = std::string(NVR_BIN_DIR) + "/../bin";
    const std::string db = root + "/mnt/nand/app/zqdb.db";
    std::error_code error;
    // An init over a database keeps what it holds: that one runs.
    if (!fs::exists(db) && stat((bin_dir + "/nvrconf").c_str(), &tool) == 0) {
        const std::string stored = bin_dir + "/../e2e-template/zqdb-" + std::to_string(tool.st_size) + "-" +
                                   std::to_string(tool.st_mtim.tv_sec) + "." +
                                   std::to_string(tool.st_mtim.tv_nsec) + ".db";
        if (fs::copy_file(stored, db, fs::copy_options::overwrite_existing, error))
            return 0;
        const int code = run_nvrconf({"init"}, work, root, output);
        // Written under a name of this case's own, then renamed: a case
        // running beside this one sees the whole file or none.
        const std::string partial = stored + "." + std::to_string(getpid());
        fs::create_directories(fs::path(stored).parent_path(), error);
        if (code == 0 && fs::copy_file(db, partial, fs::copy_options::overwrite_existing, error))
            fs::rename(partial, stored, error);
        return code;
    }
    return run_nvrconf({"init"}, work, root, output);
}

// The password of the accounts that login lines create, and its MD5 digest
// as the browser sends it.
constexpr const char *kLoginPassword = "nvr-e2e";
constexpr const char *kLoginDigest = "8954787a004f0738b75bcc7b06281b6b";

// login: USER. The account is created with nvrconf and logged in through
// "/1000" of the product, with a core daemon stand-in of its own for the
// login's operation log message (so that the case's core lines see only the
// case's messages). Returns the cookie pair of the new session, or "" after
// reporting a failure.
std::string log_in(const Login &login, const std::string &work, const std::string &root)
{
    const std::string &user = login.user;
    std::vector<std::vector<std::string>> accounts;
    std::string output;
    if (!login.again && init_database(work, root, &output) != 0) {
        ADD_FAILURE() << "login: nvrconf init failed:\n" << output;
        return "";
    }
    if (!login.again)
        accounts = {{"passwd", user, kLoginPassword}};
    if (!login.again && !login.rights.empty()) {
        accounts.push_back({"rights", user});
        accounts.back().insert(accounts.back().end(), login.rights.begin(), login.rights.end());
    }
    for (const std::vector<std::string> &args : accounts) {
        if (run_nvrconf(args, work, root, &output) != 0) {
            ADD_FAILURE() << "login: nvrconf " << args[0] << " failed:\n" << output;
            return "";
        }
    }
    const std::string login_work = work + "/login-" + login.label;
    make_dirs(login_work);
    CoreSetup setup;
    setup.demo = true;
    CoreSim core(setup, login_work, root);
    if (!core.wait_ready()) {
        ADD_FAILURE() << "login: coresim did not start:\n" << core.log();
        return "";
    }
    write_file(login_work + "/stdin", "{\"userName\": \"" + user + "\", \"md5\": \"" + kLoginDigest + "\"}");
    const std::vector<std::string> env = {"REQUEST_METHOD=POST", "PATH_INFO=/1000",
                                          "CONTENT_TYPE=application/json", "NVR_ROOT=" + root,
                                          "PATH=" + root + "/bin:/usr/bin:/bin"};
    const pid_t pid = spawn({std::string(NVR_BIN_DIR) + "/nvrweb.cgi"}, env, login_work + "/stdin",
                            login_work + "/stdout", false);
    const int code = pid < 0 ? -1 : wait_until(pid, Clock::now() + std::chrono::seconds(20));
    core.stop();
    output = read_file(login_work + "/stdout");
    const std::string key = "\"sessionId\": \"";
    const size_t at = output.find(key);
    if (code != 0 || at == std::string::npos || output.size() < at + key.size() + 32) {
        ADD_FAILURE() << "login: " << user << " could not log in:\n" << visible(output);
        return "";
    }
    return "userName=" + user + "; sessionId=" + output.substr(at + key.size(), 32);
}

// The case's environment with the session's cookies in front of any the
// case gives itself.
std::vector<std::string> case_env(const Request &c, const std::string &session_cookie)
{
    std::vector<std::string> env = c.env;
    if (session_cookie.empty())
        return env;
    const std::string name = "HTTP_COOKIE=";
    for (auto &entry : env) {
        if (entry.rfind(name, 0) == 0) {
            entry = name + session_cookie + "; " + entry.substr(name.size());
            return env;
        }
    }
    env.push_back(name + session_cookie);
    return env;
}

RunResult run_program(const Request &c, const std::string &work, const std::string &root,
                      const std::string &session_cookie)
{
    if (c.sleep_ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(c.sleep_ms));
    const std::string stdin_path = work + "/stdin";
    const std::string stdout_path = work + "/stdout";
    write_file(stdin_path, c.stdin_bytes);

    std::vector<std::string> env = case_env(c, session_cookie);
    env.push_back("NVR_ROOT=" + root);
    env.push_back("PATH=" + root + "/bin:/usr/bin:/bin");
    const std::string exe = std::string(NVR_BIN_DIR) + "/" + c.exe;
    RunResult result;
    // A network namespace of its own holds only a loopback interface, so
    // what the program reads of the interfaces is the same on every host.
    std::vector<std::string> command = {exe};
    if (c.own_netns)
        command = {"/usr/bin/unshare", "--net", exe};
    const pid_t pid = spawn(command, env, stdin_path, stdout_path, false);
    if (pid < 0) {
        ADD_FAILURE() << "cannot start " << exe;
        return result;
    }
    result.exit_code = wait_until(pid, Clock::now() + std::chrono::seconds(c.timeout_s));
    if (result.exit_code < 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        result.timed_out = true;
    }
    result.out = read_file(stdout_path);
    return result;
}

// ---------------------------------------------------------------- checks

// The session ids of the case's logins, the first one first.
using Sessions = std::vector<std::pair<std::string, std::string>>; // user, cookie pair

std::string session_id_of(const std::string &cookie)
{
    const size_t at = cookie.find("sessionId=");
    return at == std::string::npos ? "" : cookie.substr(at + 10);
}

// `text` with "{session}" standing for the id of the first login's session
// and "{session:USER}" for that of USER's.
std::string with_sessions(std::string text, const Sessions &sessions)
{
    for (size_t i = 0; i < sessions.size(); ++i) {
        const std::string id = session_id_of(sessions[i].second);
        std::vector<std::string> marks = {"{session:" + sessions[i].first + "}"};
        if (i == 0)
            marks.push_back("{session}");
        for (const std::string &mark : marks) {
            for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + id.size()))
                text.replace(at, mark.size(), id);
        }
    }
    return text;
}

void check_output(const Request &c, const RunResult &result, const Sessions &sessions, size_t step)
{
    const std::string which = "request " + std::to_string(step + 1) + ": ";
    if (c.match_stdout) {
        const std::string pattern = with_sessions(c.stdout_pattern, sessions);
        EXPECT_TRUE(pattern_matches(result.out, pattern))
            << which << "output does not match " << pattern << "\ngot:\n"
            << visible(result.out);
        EXPECT_EQ(result.exit_code, c.expected_exit) << which;
        return;
    }
    const std::string expected = with_sessions(c.expected_stdout, sessions);
    EXPECT_FALSE(result.timed_out) << which << "timed out after " << c.timeout_s << " s";
    if (!result.timed_out) {
        EXPECT_EQ(result.exit_code, c.expected_exit) << which;
    }
    EXPECT_EQ(result.out, expected) << which << "expected:\n"
                                    << visible(expected) << "\ngot:\n"
                                    << visible(result.out);
}

// The cookie pair a request sends: its user's session, the first login's,
// or none.
std::string cookie_for(const Request &request, const Sessions &sessions)
{
    if (request.as_user == "-" || sessions.empty())
        return "";
    if (request.as_user.empty())
        return sessions.front().second;
    for (const auto &[user, cookie] : sessions) {
        if (user == request.as_user)
            return cookie;
    }
    ADD_FAILURE() << "step: " << request.as_user << " has not logged in";
    return "";
}

// "PATH NAME...": the folder PATH under the root holds exactly these names.
void check_dir_entries(const std::string &line, const std::string &root)
{
    std::istringstream words(line);
    std::string path;
    words >> path;
    std::vector<std::string> expected;
    for (std::string name; words >> name;)
        expected.push_back(name);
    std::vector<std::string> found;
    if (DIR *dir = opendir((root + "/" + path).c_str())) {
        while (const dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                found.push_back(name);
        }
        closedir(dir);
    } else {
        ADD_FAILURE() << path << " is not a folder";
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    std::string listing;
    for (const auto &name : found)
        listing += " " + name;
    EXPECT_EQ(found, expected) << path << " holds:" << listing;
}

void check_files(const Case &c, const std::string &root)
{
    for (const auto &check : c.file_matches) {
        const std::string content = read_file(root + "/" + check.path);
        EXPECT_TRUE(pattern_matches(content, check.pattern))
            << check.path << " does not match " << check.pattern << "\ncontent:\n"
            << visible(content);
    }
    for (const auto &path : c.files_absent)
        EXPECT_NE(access((root + "/" + path).c_str(), F_OK), 0) << path << " should not exist";
    for (const auto &line : c.dir_entries)
        check_dir_entries(line, root);
}

// conf-expect: the key holds exactly the value ("-": there is no such key).
void check_conf(const Case &c, const std::string &work, const std::string &root)
{
    for (const auto &[key, expected] : c.conf_checks) {
        std::string output;
        const int code = run_nvrconf({"get", key}, work, root, &output);
        if (expected == "-") {
            EXPECT_NE(code, 0) << "key " << key << " should be absent; nvrconf said:\n" << output;
            continue;
        }
        EXPECT_EQ(code, 0) << "key " << key << ":\n" << output;
        if (!output.empty() && output.back() == '\n')
            output.pop_back();
        EXPECT_EQ(output, expected) << "key " << key;
    }
}

void check_records(const Case &c, const std::string &work, const std::string &root)
{
    for (const RecordCheck &check : c.record_checks) {
        std::string output;
        const int code = run_nvrconf({"record", check.kind, check.id}, work, root, &output);
        const std::string what = "record " + check.kind + " " + check.id;
        if (check.absent) {
            EXPECT_EQ(code, 1) << what << " should be absent; nvrconf said:\n" << output;
            continue;
        }
        std::string stored;
        while (!output.empty() && output.back() == '\n')
            output.pop_back();
        if (code != 0 || !payload_text::from_hex(output, &stored)) {
            ADD_FAILURE() << what << " cannot be read:\n" << output;
            continue;
        }
        const std::string got =
            check.offset < 0
                ? stored
                : stored.substr(std::min<size_t>(check.offset, stored.size()), check.bytes.size());
        EXPECT_EQ(payload_text::to_hex(got), payload_text::to_hex(check.bytes))
            << what << (check.offset < 0 ? "" : " from byte " + std::to_string(check.offset));
    }
}

std::string describe(const std::vector<CoreMessage> &messages)
{
    if (messages.empty())
        return "  (none)\n";
    std::string out;
    for (const auto &m : messages) {
        out += "  " + std::to_string(m.code) + " " + std::to_string(m.flags) + " " +
               (m.payload.empty() ? "-" : payload_text::to_hex(m.payload)) + "\n";
    }
    return out;
}

// The messages the program sent must be exactly those expected, in order.
void check_core_messages(const CoreSetup &setup, const std::vector<CoreMessage> &got)
{
    bool same = got.size() == setup.expected.size();
    std::string where;
    for (size_t i = 0; i < std::min(got.size(), setup.expected.size()); ++i) {
        const CoreMessage &want = setup.expected[i];
        if (got[i].code == want.code && got[i].flags == want.flags && got[i].payload == want.payload)
            continue;
        same = false;
        const auto diff = std::mismatch(want.payload.begin(), want.payload.end(), got[i].payload.begin(),
                                        got[i].payload.end());
        where = "message " + std::to_string(i + 1) + " differs first (payload from byte " +
                std::to_string(diff.first - want.payload.begin()) + ")\n";
        break;
    }
    EXPECT_TRUE(same) << "core messages (code flags payload):\n"
                      << where << "expected:\n"
                      << describe(setup.expected) << "sent:\n"
                      << describe(got);
}

// ---------------------------------------------------------------- the test

class E2E : public ::testing::TestWithParam<std::string> {};

// A case's work folder: removed when the case passed, however it ended,
// kept and named when it failed.
class CaseFolder {
public:
    CaseFolder() { path_ = make_scratch_dir("nvr-e2e-"); }
    ~CaseFolder()
    {
        if (path_.empty())
            return;
        if (!::testing::Test::HasFailure())
            std::filesystem::remove_all(path_);
        else
            std::cerr << "case files kept in " << path_ << "\n";
    }
    CaseFolder(const CaseFolder &) = delete;
    CaseFolder &operator=(const CaseFolder &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

TEST_P(E2E, Case)
{
    const Case c = parse_case(GetParam());
    const CaseFolder folder;
    ASSERT_FALSE(folder.path().empty());
    const std::string &work = folder.path();
    const std::string root = work + "/root";
    for (const char *dir : {"", "/mnt/nand/app", "/tmp", "/var/run", "/bin", "/dev/shm"})
        make_dirs(root + dir);
    for (const auto &dir : c.setup_dirs)
        make_dirs(root + "/" + dir);
    for (const auto &[path, text] : c.setup_files)
        write_file(root + "/" + path, text);
    for (const auto &[path, text] : c.setup_execs) {
        write_file(root + "/" + path, text);
        chmod((root + "/" + path).c_str(), 0755);
    }
    for (const auto &tool : c.setup_tools)
        ASSERT_EQ(symlink((std::string(NVR_BIN_DIR) + "/" + tool).c_str(), (root + "/bin/" + tool).c_str()),
                  0)
            << "setup-tool: " << tool;

    Sessions sessions;
    for (const Login &login : c.logins)
        sessions.emplace_back(login.label, log_in(login, work, root));
    ASSERT_FALSE(HasFailure());
    for (const auto &args : c.conf) {
        std::string output;
        const bool init = args.size() == 1 && args[0] == "init";
        ASSERT_EQ(init ? init_database(work, root, &output) : run_nvrconf(args, work, root, &output), 0)
            << "nvrconf " << args[0] << " failed:\n"
            << output;
    }

    std::unique_ptr<CoreSim> core;
    if (c.core.used) {
        core = std::make_unique<CoreSim>(c.core, work, root);
        ASSERT_TRUE(core->wait_ready()) << "coresim did not start:\n" << core->log();
    }

    for (size_t step = 0; step < c.requests.size(); ++step) {
        const Request &request = c.requests[step];
        const RunResult result = run_program(request, work, root, cookie_for(request, sessions));
        check_output(request, result, sessions, step);
    }
    check_files(c, root);
    check_records(c, work, root);
    check_conf(c, work, root);
    if (core) {
        EXPECT_EQ(core->stop(), 0) << "coresim did not stop cleanly:\n" << core->log();
        if (c.core.check_messages)
            check_core_messages(c.core, core->received());
    }
}

std::vector<std::string> case_files()
{
    std::vector<std::string> files;
    if (DIR *dir = opendir(NVR_CASES_DIR)) {
        while (const dirent *entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.size() > 5 && name.substr(name.size() - 5) == ".case")
                files.push_back(name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string test_name(const ::testing::TestParamInfo<std::string> &info)
{
    std::string name = info.param.substr(0, info.param.size() - 5);
    std::replace_if(
        name.begin(), name.end(), [](char ch) { return !isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, E2E, ::testing::ValuesIn(case_files()), test_name);

} // namespace
