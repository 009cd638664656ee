// Runs every end-to-end case file against the real executables: builds the
// CGI environment, feeds the body on stdin inside a private NVR_ROOT, and
// compares what the program wrote byte for byte. The case format is in
// tests/e2e/README.md.
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
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct FileCheck {
    std::string path;
    std::string pattern;
};

struct Case {
    std::string name;
    std::string exe = "nvrweb.cgi";
    std::vector<std::string> env;
    std::string stdin_bytes;
    std::string expected_stdout;
    int expected_exit = 0;
    int timeout_s = 20;
    std::vector<std::pair<std::string, std::string>> setup_files;
    std::vector<std::string> setup_dirs;
    std::vector<FileCheck> file_matches;
    std::vector<std::string> files_absent;
};

int hex_digit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// \r \n \t \\ \xHH and \s (a blank, for trailing blanks) in case texts.
std::string unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 't')
            out += '\t';
        else if (c == 's')
            out += ' ';
        else if (c == '0')
            out += '\0';
        else if (c == 'x' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
                 hex_digit(text[i + 2]) >= 0) {
            out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else
            out += c;
    }
    return out;
}

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
        const std::string key = line.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : line.substr(colon + 2);
        if (key == "exe")
            c.exe = value == "probe" ? "nvrweb-probe.cgi" : value;
        else if (key == "env")
            c.env.push_back(unescape(value));
        else if (key == "stdin")
            c.stdin_bytes += unescape(value);
        else if (key == "stdin-repeat")
            c.stdin_bytes += repeat(value);
        else if (key == "stdout")
            c.expected_stdout += unescape(value);
        else if (key == "stdout-repeat")
            c.expected_stdout += repeat(value);
        else if (key == "exit")
            c.expected_exit = std::stoi(value);
        else if (key == "timeout")
            c.timeout_s = std::stoi(value);
        else if (key == "setup-dir")
            c.setup_dirs.push_back(value);
        else if (key == "setup-file") {
            auto [path, text] = split_first_word(value);
            c.setup_files.emplace_back(path, unescape(text));
        } else if (key == "file-match") {
            auto [path, pattern] = split_first_word(value);
            c.file_matches.push_back({path, pattern});
        } else if (key == "file-absent")
            c.files_absent.push_back(value);
        else
            ADD_FAILURE() << file << ": unknown line: " << line;
    }
    return c;
}

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

struct RunResult {
    std::string out;
    int exit_code = -1;
    bool timed_out = false;
};

RunResult run_case(const Case &c, const std::string &root)
{
    const std::string stdin_path = root + "/../stdin";
    const std::string stdout_path = root + "/../stdout";
    write_file(stdin_path, c.stdin_bytes);

    std::vector<std::string> env = c.env;
    env.push_back("NVR_ROOT=" + root);
    env.push_back("PATH=" + root + "/bin:/usr/bin:/bin");
    std::vector<char *> envp;
    for (auto &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string exe = std::string(NVR_BIN_DIR) + "/" + c.exe;
    std::vector<char *> argv = {const_cast<char *>(exe.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdin_path.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    RunResult result;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ADD_FAILURE() << "cannot start " << exe;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(c.timeout_s);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timed_out = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = read_file(stdout_path);
    return result;
}

class E2E : public ::testing::TestWithParam<std::string> {};

TEST_P(E2E, Case)
{
    const Case c = parse_case(GetParam());
    char work_template[] = "/tmp/nvr-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(work_template), nullptr);
    const std::string root = std::string(work_template) + "/root";
    for (const char *dir : {"", "/mnt/nand/app", "/tmp", "/var/run", "/bin", "/dev/shm"})
        make_dirs(root + dir);
    for (const auto &dir : c.setup_dirs)
        make_dirs(root + "/" + dir);
    for (const auto &[path, text] : c.setup_files)
        write_file(root + "/" + path, text);

    const RunResult result = run_case(c, root);
    EXPECT_FALSE(result.timed_out) << "timed out after " << c.timeout_s << " s";
    EXPECT_EQ(result.exit_code, c.expected_exit);
    EXPECT_EQ(result.out, c.expected_stdout) << "expected:\n"
                                             << visible(c.expected_stdout) << "\ngot:\n"
                                             << visible(result.out);
    for (const auto &check : c.file_matches) {
        const std::string content = read_file(root + "/" + check.path);
        EXPECT_TRUE(std::regex_match(content, std::regex(check.pattern)))
            << check.path << " does not match " << check.pattern << "\ncontent:\n"
            << visible(content);
    }
    for (const auto &path : c.files_absent)
        EXPECT_NE(access((root + "/" + path).c_str(), F_OK), 0) << path << " should not exist";
    if (!HasFailure())
        std::filesystem::remove_all(work_template);
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
