#pragma once
// The files of a test's folder, read, written and edited as a table of runs says. Free of any test framework, so
// that a program that drives a window from outside can use it too.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>

namespace veltrin::testing_support {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Where the first line that starts with the text begins in a CR LF listing, and where the next line begins.
inline std::pair<std::size_t, std::size_t> LineStartingWith(const std::string& listing, const std::string& start) {
    const std::size_t at = ("\r\n" + listing).find("\r\n" + start);  // as if a line ended before the first
    if (at == std::string::npos) {
        throw std::invalid_argument("no line starts with " + start);
    }
    return {at, listing.find("\r\n", at) + 2};
}

// The text after one of these edits:
//   FROM => TO              replaces the first FROM with TO
//   every FROM => TO        replaces every FROM with TO
//   without TEXT            takes out the first line that starts with TEXT
//   cut after TEXT +N       ends the text N lines after the first line that starts with TEXT
//   move TEXT below OTHER   moves the first line that starts with TEXT to just below the one that starts with OTHER
inline std::string EditedText(std::string text, const std::string& edit) {
    if (const std::size_t arrow = edit.find(" => "); arrow != std::string::npos) {
        const bool every = edit.starts_with("every ");
        const std::string from = edit.substr(every ? 6 : 0, arrow - (every ? 6 : 0));
        const std::string to = edit.substr(arrow + 4);
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = every ? text.find(from, at + to.size()) : std::string::npos) {
            text.replace(at, from.size(), to);
        }
    } else if (edit.starts_with("without ")) {
        const auto [begin, end] = LineStartingWith(text, edit.substr(8));
        text.erase(begin, end - begin);
    } else if (edit.starts_with("cut after ")) {
        const std::size_t plus = edit.rfind(" +");
        std::size_t end = LineStartingWith(text, edit.substr(10, plus - 10)).second;
        for (int line = std::stoi(edit.substr(plus + 2)); line > 0; --line) {
            end = text.find("\r\n", end) + 2;
        }
        text.resize(end);
    } else if (edit.starts_with("move ")) {
        const std::size_t below = edit.find(" below ");
        const auto [begin, end] = LineStartingWith(text, edit.substr(5, below - 5));
        const std::string line = text.substr(begin, end - begin);
        text.erase(begin, end - begin);
        text.insert(LineStartingWith(text, edit.substr(below + 7)).second, line);
    } else {
        throw std::invalid_argument("unknown edit: " + edit);
    }
    return text;
}

inline void EditFile(const std::filesystem::path& path, const std::string& edit) {
    WriteFile(path, EditedText(ReadFile(path), edit));
}

}  // namespace veltrin::testing_support
