// Runs the whole conversion on arbitrary bytes taken as the 128 listing: the bytes are written to a file, read
// back into the line store with LoadListing, and handed to the English, Spanish and French generators in turn,
// whose lines go to a file sink. Every sixteenth input or so has its English listing committed to a file.
//
// Invariants: the line store gives back the file's bytes, cut at CR and CR LF and nowhere else; no generator
// crashes or lets an error escape; a generator that fails shows at most one message; one that succeeds starts
// its listing with its title block, and its lines hold no CR; a committed listing file holds exactly the lines
// that the generator wrote, each followed by CR LF.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/listing_target.h"
#include "fuzz_support.h"
#include "generators/plus2_models.h"

namespace veltrin::fuzzing {
namespace {

class CountingHost : public ConversionHost {
  public:
    int messages = 0;
    void ShowMessage(std::string_view /*message*/, std::string_view /*title*/) override { ++messages; }
};

// Passes every line on to the file sink and keeps what was passed.
class RecordingSink : public LineSink {
  public:
    explicit RecordingSink(LineSink& file) : file_(file) {}
    void Write(std::string_view line) override {
        lines.emplace_back(line);
        file_.Write(line);
    }
    std::vector<std::string> lines;

  private:
    LineSink& file_;
};

// The source lines put back together: each line of the file, then the terminator that the file has behind it, a
// CR LF or a lone CR. A line holds no CR, and nothing is left over.
void CheckLineStore(std::string_view bytes, const SourceLines& lines) {
    if (bytes.empty()) {
        Require(lines.empty(), "an empty file gave lines");
        return;
    }
    Require(!lines.empty(), "a listing file gave no line");
    std::size_t position = 0;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        Require(line.find('\r') == std::string_view::npos, "a source line holds a CR");
        Require(bytes.substr(position, line.size()) == line, "a source line is not the file's bytes at its place");
        position += line.size();
        if (position < bytes.size()) {
            Require(bytes[position] == '\r', "a source line ends before a CR");
            position += bytes.substr(position, 2) == "\r\n" ? 2 : 1;
        }
    }
    Require(position == bytes.size(), "the source lines leave bytes of the file out");
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files that each input is written to, one set per fuzzing process, removed when the process ends.
class ScratchFiles {
  public:
    ScratchFiles() : folder_(std::filesystem::temp_directory_path() / ("veltrin-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
    }
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;
    ~ScratchFiles() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::filesystem::path Source() const { return folder_ / "source.asm"; }
    std::filesystem::path Listing() const { return folder_ / "listing.asm"; }

  private:
    std::filesystem::path folder_;
};

void CheckGenerator(const Plus2Model& plus2Model, const SourceLines& lines, const std::filesystem::path& listingFile,
                    bool commit) {
    const std::string_view model = plus2Model.name;
    CountingHost host;
    std::string pending;
    const Expected<ListingTarget> target = ListingTarget::Find(listingFile);
    Require(static_cast<bool>(target), "the scratch listing cannot be written", target ? "" : target.Reason());
    ListingFileSink file(*target, {}, pending);
    RecordingSink listing(file);
    if (!plus2Model.CreateListing(lines, listing, host)) {
        Require(host.messages <= 1, "a failed listing showed more than one message", model);
        return;
    }
    Require(host.messages == 0, "a listing that was created showed a message", model);
    const std::vector<std::string>& written = listing.lines;
    Require(written.size() > 3 && written[0].starts_with("; ***") && written[1].starts_with("; ***") &&
                written[2].starts_with("; ***"),
            "a created listing does not start with its title block", model);
    for (const std::string& line : written) {
        Require(line.find('\r') == std::string::npos, "a listing line holds a CR", model);
    }
    if (!commit) {
        return;
    }
    const std::optional<Failure> failure = file.Commit();
    Require(!failure, "a listing could not be committed", failure ? failure->reason : "");
    std::string expected;
    for (const std::string& line : written) {
        expected.append(line).append("\r\n");
    }
    Require(ReadFile(listingFile) == expected, "the listing file does not hold the lines written, ended by CR LF",
            model);
}

}  // namespace
}  // namespace veltrin::fuzzing

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace veltrin;
    using namespace veltrin::fuzzing;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    static const ScratchFiles scratch;
    {
        std::ofstream file(scratch.Source(), std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        Require(file.good(), "cannot write the scratch listing", scratch.Source().string());
    }
    Expected<LoadedListing> source = LoadListing(scratch.Source());
    Require(static_cast<bool>(source), "a readable listing file did not load", source ? "" : source.Reason());
    const SourceLines& lines = source->lines;
    CheckLineStore(bytes, lines);

    // Only the first listing is committed and read back: the file sink works alike for every model.
    bool commit = size > 0 && data[0] % 16 == 0;
    for (const Plus2Model* model : kPlus2Models) {
        CheckGenerator(*model, lines, scratch.Listing(), commit);
        commit = false;
    }
    return 0;
}
