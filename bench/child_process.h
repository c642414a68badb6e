#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrin::bench {

// How a program run as a child process ended.
struct ChildResult {
    bool succeeded = false;        // started and exited with status 0
    std::size_t peakMemoryKb = 0;  // its largest resident set
};

// Runs the program with the arguments (argv[0] is the program) and waits for it; its output is discarded.
ChildResult RunChild(const std::vector<std::string>& arguments);

}  // namespace veltrin::bench
