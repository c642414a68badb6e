#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace veltrin::fuzzing {

// Reports a broken invariant and stops the run, so that libFuzzer keeps the input that broke it.
[[noreturn]] inline void Fail(std::string_view what, std::string_view detail = {}) {
    std::fprintf(stderr, "\nINVARIANT BROKEN: %.*s\n", static_cast<int>(what.size()), what.data());
    if (!detail.empty()) {
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    }
    std::abort();
}

inline void Require(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) {
        Fail(what, detail);
    }
}

inline bool IsHexCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

inline bool IsUpperHexCharacter(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

inline char UpperCase(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace veltrin::fuzzing
