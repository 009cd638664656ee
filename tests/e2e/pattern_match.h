// Whole-text matching of the cases' ECMAScript patterns (stdout-match,
// file-match). std::regex recurses once per character a repetition takes
// in, so a long answer (a downloaded file of tens of kilobytes) overflows
// the stack. Patterns built of single characters, escapes, classes, "."
// and the quantifiers * + ? {n} {n,m} are matched here by a state-set
// simulation that needs no recursion and is linear in the text; a pattern
// with groups, alternatives, anchors inside it or back references is handed
// to std::regex as before.
#pragma once

#include <string>

// True when `pattern` matches the whole of `text`, as std::regex_match
// with the ECMAScript grammar would say.
bool pattern_matches(const std::string &text, const std::string &pattern);
