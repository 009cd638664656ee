#include "script.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "payload_text.h"

namespace {

bool parse_code(const std::string &word, int32_t *out)
{
    uint64_t value = 0;
    if (!payload_text::parse_int(word, 4, &value))
        return false;
    *out = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

} // namespace

bool Script::parse_line(const std::string &line, std::string *error)
{
    std::istringstream words(line);
    std::string verb;
    std::string code_word;
    words >> verb;
    if (verb.empty() || verb[0] == '#')
        return true;
    int32_t code = 0;
    if (!(words >> code_word) || !parse_code(code_word, &code)) {
        *error = "missing or bad request code";
        return false;
    }
    Rounds &rounds = codes_[code];
    const size_t current = rounds.rounds.size() - 1;
    std::string rest;
    std::getline(words, rest);

    if (verb == "reply") {
        std::istringstream reply_words(rest);
        std::string reply_word;
        int32_t reply_code = 0;
        if (!(reply_words >> reply_word) || !parse_code(reply_word, &reply_code)) {
            *error = "missing or bad reply code";
            return false;
        }
        std::string payload_words;
        std::getline(reply_words, payload_words);
        std::string payload;
        if (!payload_text::parse(payload_words, &payload, error))
            return false;
        rounds.rounds[current].push_back(AnswerStep::reply(reply_code, std::move(payload)));
    } else if (verb == "delay") {
        uint64_t ms = 0;
        std::istringstream delay_words(rest);
        std::string ms_word;
        std::string extra;
        if (!(delay_words >> ms_word) || (delay_words >> extra) ||
            !payload_text::parse_int(ms_word, 4, &ms) || ms > 3600 * 1000) {
            *error = "bad delay (milliseconds, at most one hour)";
            return false;
        }
        rounds.rounds[current].push_back(AnswerStep::pause(static_cast<int>(ms)));
    } else if ((verb == "noreply" || verb == "next") && rest.find_first_not_of(" \t") != std::string::npos) {
        *error = "unexpected text after the code";
        return false;
    } else if (verb == "noreply") {
        rounds.silent[current] = true;
    } else if (verb == "next") {
        rounds.rounds.emplace_back();
        rounds.silent.push_back(false);
    } else {
        *error = "unknown line \"" + verb + "\"";
        return false;
    }
    if ((verb == "reply" || verb == "noreply") && rounds.silent[current]) {
        for (const AnswerStep &step : rounds.rounds[current]) {
            if (!step.is_pause) {
                *error = "\"noreply\" and \"reply\" in the same round";
                return false;
            }
        }
    }
    return true;
}

bool Script::load(const std::string &path, std::string *error)
{
    std::ifstream in(path);
    if (!in) {
        *error = path + ": cannot be read";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string why;
        if (!parse_line(line, &why)) {
            *error = path;
            *error += ":" + std::to_string(number) + ": ";
            *error += why;
            return false;
        }
    }
    return true;
}

Answer Script::answer(const CoreMessage &message)
{
    const auto found = codes_.find(message.code);
    if (found == codes_.end()) {
        fprintf(stderr, "coresim: code %d is not in the script: no reply\n", message.code);
        return {};
    }
    Rounds &rounds = found->second;
    const size_t round = std::min(rounds.served, rounds.rounds.size() - 1);
    ++rounds.served;
    return rounds.rounds[round];
}
