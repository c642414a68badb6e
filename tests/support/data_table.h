#pragma once

#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generators/plus2_models.h"

namespace veltrin::testing_support {

// The rows of a table in tests/data: one row a line, its fields separated by " | " (the spaces around the bar
// belong to the separator, so a field keeps its own leading spaces); empty lines and lines that start with "#"
// are left out.
inline std::vector<std::vector<std::string>> ReadDataTable(const std::string& name) {
    std::ifstream in(std::string(VELTRIN_TEST_DATA) + "/" + name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("no table " + name + " in " VELTRIN_TEST_DATA);
    }
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.starts_with('#')) {
            continue;
        }
        std::vector<std::string>& fields = rows.emplace_back();
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 3) {
            end = line.find(" | ", start);
            fields.push_back(line.substr(start, end - start));
        }
    }
    return rows;
}

// A field with its escapes taken out: "\n", "\r", "\t" and "\0" stand for a line feed, a carriage return, a tab and a
// zero byte; bytes past ASCII stand for themselves.
inline std::string Unescaped(std::string field) {
    constexpr std::string_view kEscapes("n\nr\rt\t0\0", 8);  // each escape's letter, then its character
    for (std::size_t at = field.find('\\'); at != std::string::npos; at = field.find('\\', at + 1)) {
        const std::size_t escape = kEscapes.find(at + 1 < field.size() ? field[at + 1] : '\0');
        if (escape != std::string_view::npos && escape % 2 == 0) {
            field.replace(at, 2, 1, kEscapes[escape + 1]);
        }
    }
    return field;
}

// The addresses of the model that a table names "en", "es" or "fr".
inline TargetModel ModelNamed(const std::string& name) {
    return (name == "es" ? kSpanishPlus2 : name == "fr" ? kFrenchPlus2 : kEnglishPlus2).targetModel;
}

}  // namespace veltrin::testing_support
