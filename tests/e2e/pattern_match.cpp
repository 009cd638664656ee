// The cases' patterns as a list of one-character items, each optional or
// repeated at most, simulated over the text with the set of items reached.
#include "pattern_match.h"

#include <bitset>
#include <cctype>
#include <optional>
#include <regex>
#include <vector>

#include "coresim/payload_text.h"

namespace {

using CharSet = std::bitset<256>;

struct Item {
    CharSet chars;
    bool optional = false; // may be left out (?)
    bool repeat = false;   // any number, none included (*)
};

// A quantifier never unrolls into more items than this.
constexpr size_t kMaxUnrolled = 4096;

CharSet set_of(int (*is)(int))
{
    CharSet set;
    for (int c = 0; c < 256; ++c)
        set[static_cast<size_t>(c)] = is(c) != 0;
    return set;
}

int is_word(int c) { return std::isalnum(c) != 0 || c == '_' ? 1 : 0; }

CharSet one(unsigned char c)
{
    CharSet set;
    set[c] = true;
    return set;
}

// A run of `digits` hexadecimal digits at `at` as one byte value, or -1.
int hex_at(const std::string &p, size_t at, size_t digits)
{
    if (at + digits > p.size())
        return -1;
    int value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int digit = payload_text::hex_digit(p[at + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value <= 0xFF ? value : -1;
}

class Compiler {
public:
    explicit Compiler(const std::string &pattern) : p_(pattern) {}

    std::optional<std::vector<Item>> compile()
    {
        if (at_ < p_.size() && p_[at_] == '^')
            ++at_;
        while (at_ < p_.size()) {
            if (p_[at_] == '$' && at_ + 1 == p_.size())
                break;
            std::optional<CharSet> atom = parse_atom();
            if (!atom || !parse_quantifier(*atom))
                return std::nullopt;
        }
        return items_;
    }

private:
    // An escape after the backslash at at_; `in_class` for the meaning
    // inside brackets. Moves past it. Null for what is not handled here.
    std::optional<CharSet> parse_escape(bool in_class)
    {
        if (++at_ >= p_.size())
            return std::nullopt;
        const char c = p_[at_++];
        switch (c) {
        case 'd':
            return set_of(isdigit);
        case 'D':
            return ~set_of(isdigit);
        case 's':
            return set_of(isspace);
        case 'S':
            return ~set_of(isspace);
        case 'w':
            return set_of(is_word);
        case 'W':
            return ~set_of(is_word);
        case 'n':
            return one('\n');
        case 'r':
            return one('\r');
        case 't':
            return one('\t');
        case 'f':
            return one('\f');
        case 'v':
            return one('\v');
        case 'b':
            if (in_class)
                return one('\b');
            return std::nullopt; // a word boundary
        case '0':
            if (at_ < p_.size() && isdigit(static_cast<unsigned char>(p_[at_])) != 0)
                return std::nullopt;
            return one('\0');
        case 'x':
        case 'u': {
            const size_t digits = c == 'x' ? 2 : 4;
            const int value = hex_at(p_, at_, digits);
            if (value < 0)
                return std::nullopt;
            at_ += digits;
            return one(static_cast<unsigned char>(value));
        }
        default:
            // Letters and digits name something else (back references,
            // control characters); any other character stands for itself.
            if (isalnum(static_cast<unsigned char>(c)) != 0)
                return std::nullopt;
            return one(static_cast<unsigned char>(c));
        }
    }

    // One member of a bracket expression: a character or an escaped class.
    std::optional<CharSet> class_member(bool *single, unsigned char *value)
    {
        std::optional<CharSet> member;
        if (p_[at_] == '\\')
            member = parse_escape(true);
        else
            member = one(static_cast<unsigned char>(p_[at_++]));
        *single = member && member->count() == 1;
        if (*single) {
            for (size_t c = 0; c < 256; ++c)
                if ((*member)[c])
                    *value = static_cast<unsigned char>(c);
        }
        return member;
    }

    std::optional<CharSet> parse_class()
    {
        ++at_; // '['
        const bool negated = at_ < p_.size() && p_[at_] == '^';
        if (negated)
            ++at_;
        CharSet set;
        while (at_ < p_.size() && p_[at_] != ']') {
            bool single = false;
            unsigned char low = 0;
            const std::optional<CharSet> member = class_member(&single, &low);
            if (!member)
                return std::nullopt;
            const bool range = single && at_ + 1 < p_.size() && p_[at_] == '-' && p_[at_ + 1] != ']';
            if (!range) {
                set |= *member;
                continue;
            }
            ++at_; // '-'
            bool high_single = false;
            unsigned char high = 0;
            if (!class_member(&high_single, &high) || !high_single || high < low)
                return std::nullopt;
            for (unsigned c = low; c <= high; ++c)
                set[c] = true;
        }
        if (at_ >= p_.size())
            return std::nullopt;
        ++at_; // ']'
        return negated ? ~set : set;
    }

    std::optional<CharSet> parse_atom()
    {
        const char c = p_[at_];
        if (c == '.') {
            ++at_;
            CharSet any = ~CharSet();
            any['\n'] = false;
            any['\r'] = false;
            return any;
        }
        if (c == '[')
            return parse_class();
        if (c == '\\')
            return parse_escape(false);
        static const std::string kSpecial = "()|^$*+?{}]";
        if (kSpecial.find(c) != std::string::npos)
            return std::nullopt;
        ++at_;
        return one(static_cast<unsigned char>(c));
    }

    // A decimal number at at_ (moves past it), or -1.
    long parse_count()
    {
        long value = -1;
        while (at_ < p_.size() && isdigit(static_cast<unsigned char>(p_[at_])) != 0) {
            value = (value < 0 ? 0 : value) * 10 + (p_[at_++] - '0');
            if (value > static_cast<long>(kMaxUnrolled))
                return -1;
        }
        return value;
    }

    // {n}, {n,} or {n,m} after an atom, as the least and most (-1: any).
    bool parse_braces(long *least, long *most)
    {
        ++at_; // '{'
        *least = parse_count();
        *most = *least;
        if (*least < 0 || at_ >= p_.size())
            return false;
        if (p_[at_] == ',') {
            ++at_;
            *most = at_ < p_.size() && p_[at_] == '}' ? -1 : parse_count();
            if (at_ >= p_.size() || (*most >= 0 && *most < *least))
                return false;
        }
        if (p_[at_] != '}')
            return false;
        ++at_;
        return true;
    }

    bool parse_quantifier(const CharSet &atom)
    {
        long least = 1;
        long most = 1;
        if (at_ < p_.size()) {
            const char q = p_[at_];
            if (q == '*' || q == '+' || q == '?') {
                ++at_;
                least = q == '+' ? 1 : 0;
                most = q == '?' ? 1 : -1;
            } else if (q == '{' && !parse_braces(&least, &most)) {
                return false;
            }
        }
        // A lazy quantifier takes as little as it can, which changes what
        // a search finds but not whether the whole text matches.
        if (at_ < p_.size() && p_[at_] == '?' && (least != 1 || most != 1))
            ++at_;
        const long copies = most < 0 ? least + 1 : most;
        if (items_.size() + static_cast<size_t>(copies) > kMaxUnrolled * 4)
            return false;
        for (long i = 0; i < least; ++i)
            items_.push_back(Item{atom, false, false});
        if (most < 0)
            items_.push_back(Item{atom, false, true});
        for (long i = least; i < most; ++i)
            items_.push_back(Item{atom, true, false});
        return true;
    }

    const std::string &p_;
    size_t at_ = 0;
    std::vector<Item> items_;
};

// The set of items the text read so far can have reached.
class StateSet {
public:
    explicit StateSet(const std::vector<Item> &items) : items_(items), seen_(items.size() + 1, 0) {}

    void start() { reach(0); }

    void step(unsigned char c)
    {
        std::vector<size_t> from;
        from.swap(states_);
        ++generation_;
        for (const size_t state : from) {
            if (state == items_.size() || !items_[state].chars[c])
                continue;
            reach(items_[state].repeat ? state : state + 1);
        }
    }

    bool empty() const { return states_.empty(); }
    bool at_end() const { return seen_[items_.size()] == generation_; }

private:
    // `state` and those after it that the items which may be left out let
    // it reach without a character.
    void reach(size_t state)
    {
        for (; seen_[state] != generation_; ++state) {
            seen_[state] = generation_;
            states_.push_back(state);
            if (state == items_.size() || !(items_[state].optional || items_[state].repeat))
                break;
        }
    }

    const std::vector<Item> &items_;
    std::vector<unsigned> seen_;
    std::vector<size_t> states_;
    unsigned generation_ = 1;
};

} // namespace

bool pattern_matches(const std::string &text, const std::string &pattern)
{
    const std::optional<std::vector<Item>> items = Compiler(pattern).compile();
    if (!items)
        return std::regex_match(text, std::regex(pattern));
    StateSet states(*items);
    states.start();
    for (const char c : text) {
        states.step(static_cast<unsigned char>(c));
        if (states.empty())
            return false;
    }
    return states.at_end();
}
