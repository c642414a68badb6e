// Runs the whole conversion on arbitrary bytes taken as the 128 listing: the bytes are written to a file, read
// back into the line store with LoadListing, and handed to the English, Spanish and French generators in turn,
// whose lines go to a file sink. Every sixteenth input or so has its English listing committed to a file, and every
// eighth goes through a whole create run, which derives the three listings on threads of their own.
//
// Invariants: the line store gives back the file's bytes, cut at CR and CR LF and nowhere else; no generator
// crashes or lets an error escape; one that succeeds starts its listing with its title block, and its lines hold no CR;
// a committed listing file holds exactly the lines that the generator wrote, each followed by CR LF; a create run
// writes the listings that the generators give, up to the first that fails, and no other.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "commands/create_command.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/listing_target.h"
#include "fuzz_support.h"
#include "generators/plus2_models.h"

namespace veltrin::fuzzing {
namespace {

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
        Require(lines.size() == 0, "an empty file gave lines");
        return;
    }
    Require(lines.size() != 0, "a listing file gave no line");
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
    std::filesystem::path RunListing(std::string_view name) const { return folder_ / name; }

  private:
    std::filesystem::path folder_;
};

std::string AsListingFile(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes.append(line).append(kListingLineEnd);
    }
    return bytes;
}

// The lines of the model's listing, or nothing when its generator failed.
std::optional<std::vector<std::string>> CheckGenerator(const Plus2Model& plus2Model, const SourceLines& lines,
                                                       const std::filesystem::path& listingFile, bool commit) {
    const std::string_view model = plus2Model.name;
    const Expected<ListingTarget> target = ListingTarget::Find(listingFile);
    Require(static_cast<bool>(target), "the scratch listing cannot be written", target ? "" : target.Reason());
    const std::unique_ptr<ListingFileSink> file = ListingFileSink::Open(*target, {});
    RecordingSink listing(*file);
    if (plus2Model.CreateListing(lines, listing, {})) {
        return std::nullopt;
    }
    const std::vector<std::string>& written = listing.lines;
    Require(written.size() > 3 && written[0].starts_with("; ***") && written[1].starts_with("; ***") &&
                written[2].starts_with("; ***"),
            "a created listing does not start with its title block", model);
    for (const std::string& line : written) {
        Require(line.find('\r') == std::string::npos, "a listing line holds a CR", model);
    }
    if (!commit) {
        return written;
    }
    const std::optional<Failure> failure = file->Commit();
    Require(!failure, "a listing could not be committed", failure ? failure->reason : "");
    Require(ReadFile(listingFile) == AsListingFile(written),
            "the listing file does not hold the lines written, ended by CR LF", model);
    return written;
}

// A run of the create command without a window, on the scratch files.
class ScratchView final : public CreateView {
  public:
    explicit ScratchView(const ScratchFiles& scratch) : scratch_(scratch) {}
    std::string SourceName() const override { return scratch_.Source().string(); }
    std::string ListingName(const Plus2Model& model) const override {
        return scratch_.RunListing(model.defaultFileName).string();
    }
    std::string SourceInputName() const override { return "source box"; }
    std::string ListingInputName(const Plus2Model& model) const override { return std::string(model.name) + " box"; }
    void SetStatus(std::string_view /*status*/) override {}
    void SetInputsEnabled(bool /*enabled*/) override {}
    void SetBusyPointer(bool /*busy*/) override {}
    void Yield() override {}
    void ShowMessage(std::string_view /*message*/, std::string_view /*title*/) override { ++messages; }
    int messages = 0;

  private:
    const ScratchFiles& scratch_;
};

// The create command derives the listings at the same time: whatever the source, it must write exactly the listings
// that the generators give one by one, up to the first that fails, and leave the others as they were.
void CheckCreateRun(const ScratchFiles& scratch, const std::vector<std::optional<std::vector<std::string>>>& listings) {
    constexpr std::string_view kEarlier = "; An earlier listing.\r\n";
    for (const Plus2Model* model : kPlus2Models) {
        std::ofstream(scratch.RunListing(model->defaultFileName), std::ios::binary | std::ios::trunc) << kEarlier;
    }
    ScratchView view(scratch);
    const RunOutcome outcome = CreateCommand(view).Run();
    bool failedBefore = false;
    for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
        const std::string_view model = kPlus2Models.at(index)->name;
        const std::string file = ReadFile(scratch.RunListing(kPlus2Models.at(index)->defaultFileName));
        if (failedBefore || !listings.at(index)) {
            Require(file == kEarlier, "a run replaced a listing at or after the first that failed", model);
        } else {
            Require(file == AsListingFile(*listings.at(index)), "a run wrote another listing than its generator",
                    model);
        }
        failedBefore = failedBefore || !listings.at(index);
    }
    Require((outcome == RunOutcome::kDone) == !failedBefore, "a run's outcome does not say whether it failed");
    Require(failedBefore ? view.messages >= 1 : view.messages == 0, "a run's messages do not fit its outcome");
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
    std::vector<std::optional<std::vector<std::string>>> listings;
    for (const Plus2Model* model : kPlus2Models) {
        listings.push_back(CheckGenerator(*model, lines, scratch.Listing(), commit));
        commit = false;
    }
    if (size % 8 == 1) {
        CheckCreateRun(scratch, listings);
    }
    return 0;
}
