// Upper-casing of file names, kinds and operation names by ASCII rules:
// the C library's toupper follows the locale, and in a Turkish one "i" does
// not become "I", so "clip.avi" would not be an AVI.
#pragma once

#include <string>

namespace movaltic {

constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string AsciiUpper(std::string s) {
    for (char& c : s) c = AsciiUpper(c);
    return s;
}

}  // namespace movaltic
