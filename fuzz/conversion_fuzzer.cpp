// Runs the whole conversion on arbitrary bytes taken as the 128 listing: the bytes are written to a file,
// read back with LoadListing and handed to the English, Spanish and French generators in turn.
//
// Invariants: the loader cuts the bytes into lines at CR and CR LF and nothing else; no generator crashes or
// lets an error escape; a generator that fails shows at most one message; one that succeeds leaves element 0
// empty and starts the listing with its title block.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "app/listing_file.h"
#include "fuzz_support.h"
#include "generators/model_listings.h"

namespace veltrin::fuzzing {
namespace {

class CountingHost : public ConversionHost {
  public:
    int yields = 0;
    int messages = 0;
    void Yield() override { ++yields; }
    void ShowMessage(std::string_view /*message*/, std::string_view /*title*/) override { ++messages; }
};

// The lines of a listing file as the file format defines them, for comparison with the loader.
SourceLines ExpectedLines(std::string_view bytes) {
    SourceLines lines;
    if (bytes.empty()) {
        return lines;
    }
    lines.emplace_back();
    std::string line;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (bytes[index] != '\r') {
            line += bytes[index];
            continue;
        }
        lines.emplace_back(line);
        line.clear();
        if (index + 1 < bytes.size() && bytes[index + 1] == '\n') {
            ++index;
        }
    }
    if (bytes.back() != '\r' && !(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n")) {
        lines.emplace_back(line);
    }
    return lines;
}

// The file that each input is written to, one per fuzzing process, removed when the process ends.
class ScratchFile {
  public:
    ScratchFile()
        : path_(std::filesystem::temp_directory_path() /
                ("veltrin-conversion-fuzz-" + std::to_string(::getpid()) + ".asm")) {}
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

void CheckGenerator(bool (*generate)(const SourceLines&, OutputLines&, ConversionHost&), const SourceLines& lines,
                    std::string_view model) {
    CountingHost host;
    OutputLines output{ListingLine()};
    const bool created = generate(lines, output, host);
    if (!created) {
        Require(host.messages <= 1, "a failed listing showed more than one message", model);
        return;
    }
    Require(host.messages == 0, "a listing that was created showed a message", model);
    Require(output.size() > 4 && output[0].empty(), "a created listing has no element 0 or no lines", model);
    Require(output[1].starts_with("; ***") && output[2].starts_with("; ***") && output[3].starts_with("; ***"),
            "a created listing does not start with its title block", model);
}

}  // namespace
}  // namespace veltrin::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrin;
    using namespace veltrin::fuzzing;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const ScratchFile scratchFile;
    const std::filesystem::path& scratch = scratchFile.path();
    {
        std::ofstream file(scratch, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        Require(file.good(), "cannot write the scratch listing", scratch.string());
    }
    SourceLines lines;
    std::string failureReason;
    Require(LoadListing(scratch, lines, failureReason), "a readable listing file did not load", failureReason);
    Require(lines == ExpectedLines(bytes), "the loader cut the bytes into other lines than CR and CR LF do");

    CheckGenerator(CreatePlus2Listing, lines, "English");
    CheckGenerator(CreateSpanishListing, lines, "Spanish");
    CheckGenerator(CreateFrenchListing, lines, "French");
    return 0;
}
