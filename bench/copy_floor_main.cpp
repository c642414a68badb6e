// veltrin_copy_floor SOURCE TARGET...: a process that only copies the source to the targets, each put on the
// disk, to compare a whole veltrin-cli process with.
#include <filesystem>
#include <vector>

#include "floor_copy.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    const std::vector<std::filesystem::path> targets(argv + 2, argv + argc);
    return veltrin::bench::CopyToFiles(argv[1], targets) ? 0 : 1;
}
