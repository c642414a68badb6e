#pragma once

#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "generators/plus2_models.h"

namespace veltrin::testing_support {

// The parts of a text between the separators: "a | b" split at " | " is "a" and "b".
inline std::vector<std::string> Split(const std::string& text, std::string_view separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + separator.size()) {
        end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}

// The lines of a table in tests/data that hold its rows: empty lines and lines that start with "#" are left out.
inline std::vector<std::string> ReadTableLines(const std::string& name) {
    std::ifstream in(std::string(VELTRIN_TEST_DATA) + "/" + name, std::ios::binary);  // as bytes, on Windows too
    if (!in) {
        throw std::runtime_error("no table " + name + " in " VELTRIN_TEST_DATA);
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && !line.starts_with('#')) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The rows of a table of one row a line, its fields separated by " | " (the spaces around the bar belong to the
// separator, so a field keeps its own leading spaces).
inline std::vector<std::vector<std::string>> ReadDataTable(const std::string& name) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : ReadTableLines(name)) {
        rows.push_back(Split(line, " | "));
    }
    return rows;
}

// A row of a table whose rows are a line that names the row, then lines under it indented by two spaces.
struct IndentedRow {
    std::string name;
    std::vector<std::string> lines;  // without their indent
};

// A test case of the row is shown by the row's name.
inline void PrintTo(const IndentedRow& row, std::ostream* out) { *out << row.name; }

inline std::vector<IndentedRow> ReadIndentedRows(const std::string& name) {
    std::vector<IndentedRow> rows;
    for (const std::string& line : ReadTableLines(name)) {
        if (!line.starts_with("  ")) {
            rows.push_back({line, {}});
        } else if (!rows.empty()) {
            rows.back().lines.push_back(line.substr(2));
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
