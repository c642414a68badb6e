// Times the whole conversion (load the 128 listing, generate the three +2 listings, write them) on the sample
// listing scaled to 1, 10 and 100 times the length of a real annotated ROM 0 listing, and in the same run the
// floor that no conversion can beat: reading the source once and writing its bytes three times.
//
// The sample is scaled by repeating its ordinary routines in place: a block from an address label that no
// model script names up to the next label line is written several times in a row, so that every script step
// still finds its labels, its counted lines and its comments where it expects them.
//
//   veltrin_bench [benchmark options] [--source=FILE]
//   veltrin_bench --write-scaled=FACTOR --output=FILE [--source=FILE]   (writes one scaled listing and stops)

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/create_command.h"
#include "app/listing_file.h"
#include "generators/model_listings.h"

namespace {

namespace fs = std::filesystem;
using veltrin::OutputLines;
using veltrin::SourceLines;

// A real annotated Spectrum 128 ROM 0 listing has about 18,000 lines (and 800 KB).
constexpr std::size_t kRealListingLines = 18000;
constexpr std::array kScales{1, 10, 100};

// ---------------------------------------------------------------------------------------------------------------
// Scaling the sample.

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool IsLabelLine(std::string_view line) {
    return line.size() >= 6 && line[0] == 'L' && IsHexDigit(line[1]) && IsHexDigit(line[2]) && IsHexDigit(line[3]) &&
           IsHexDigit(line[4]) && line[5] == ':';
}

unsigned LabelAddress(std::string_view line) {
    return static_cast<unsigned>(std::stoul(std::string(line.substr(1, 4)), nullptr, 16));
}

// The stretches that the model scripts treat one by one: the copyright message, the menus and tape messages
// with their tables, the Tape Tester blocks and the counted lines in front of the unused space, up to the end
// of the listing. Routines that start anywhere else are copied as they are.
bool IsOrdinaryRoutine(unsigned address) {
    constexpr std::array<std::pair<unsigned, unsigned>, 5> kScripted{{
        {0x0561, 0x057D},
        {0x2744, 0x281C},
        {0x3852, 0x385A},
        {0x3BE9, 0x3C63},
        {0x3FEF, 0xFFFF},
    }};
    return std::none_of(kScripted.begin(), kScripted.end(), [address](const auto& stretch) {
        return address >= stretch.first && address <= stretch.second;
    });
}

struct Block {
    std::size_t first;
    std::size_t end;  // one past the last line
};

std::vector<Block> OrdinaryBlocks(const SourceLines& lines) {
    std::vector<Block> blocks;
    for (std::size_t index = 1; index < lines.size(); ++index) {
        if (!IsLabelLine(lines[index]) || !IsOrdinaryRoutine(LabelAddress(lines[index]))) {
            continue;
        }
        std::size_t end = index + 1;
        while (end < lines.size() && !IsLabelLine(lines[end])) {
            ++end;
        }
        blocks.push_back({index, end});
    }
    return blocks;
}

// The sample with its ordinary blocks repeated so that it has about targetLines lines.
SourceLines ScaleListing(const SourceLines& sample, std::size_t targetLines) {
    const std::vector<Block> blocks = OrdinaryBlocks(sample);
    std::size_t ordinaryLines = 0;
    for (const Block& block : blocks) {
        ordinaryLines += block.end - block.first;
    }
    if (ordinaryLines == 0) {
        throw std::runtime_error("the sample listing has no ordinary routines to repeat");
    }
    const std::size_t otherLines = sample.size() - 1 - ordinaryLines;
    const double factor = std::max(1.0, static_cast<double>(targetLines > otherLines ? targetLines - otherLines : 0) /
                                            static_cast<double>(ordinaryLines));

    SourceLines scaled;
    scaled.reserve(targetLines + sample.size());
    scaled.push_back(sample[0]);
    double wanted = 0;
    double written = 0;
    std::size_t next = 1;
    for (const Block& block : blocks) {
        scaled.insert(scaled.end(), sample.begin() + static_cast<std::ptrdiff_t>(next),
                      sample.begin() + static_cast<std::ptrdiff_t>(block.first));
        const auto size = static_cast<double>(block.end - block.first);
        wanted += factor * size;
        const auto copies = std::max(1L, std::lround((wanted - written) / size));
        for (long copy = 0; copy < copies; ++copy) {
            scaled.insert(scaled.end(), sample.begin() + static_cast<std::ptrdiff_t>(block.first),
                          sample.begin() + static_cast<std::ptrdiff_t>(block.end));
        }
        written += static_cast<double>(copies) * size;
        next = block.end;
    }
    scaled.insert(scaled.end(), sample.begin() + static_cast<std::ptrdiff_t>(next), sample.end());
    return scaled;
}

void WriteLines(const fs::path& path, const SourceLines& lines) {
    std::string text;
    for (std::size_t index = 1; index < lines.size(); ++index) {
        text += lines[index];
        text += "\r\n";
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

SourceLines LoadOrThrow(const fs::path& path) {
    SourceLines lines;
    std::string failureReason;
    if (!veltrin::LoadListing(path, lines, failureReason)) {
        throw std::runtime_error("cannot read " + path.string() + ": " + failureReason);
    }
    return lines;
}

// ---------------------------------------------------------------------------------------------------------------
// The benchmarks.

struct ScaledListing {
    int scale;
    fs::path path;
    std::size_t lines;
    std::uintmax_t bytes;
};

void SetThroughput(benchmark::State& state, const ScaledListing& listing) {
    const auto lines = static_cast<double>(listing.lines);
    state.counters["lines/s"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/s"] =
        benchmark::Counter(static_cast<double>(listing.bytes), benchmark::Counter::kIsIterationInvariantRate,
                           benchmark::Counter::OneK::kIs1024);
    state.counters["s/line"] =
        benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["lines"] = static_cast<double>(listing.lines);
}

// The window's side of a run, without a window: the four names in the benchmark's folders, nothing shown.
class SilentView final : public veltrin::CreateView {
  public:
    SilentView(fs::path source, fs::path outputFolder)
        : source_(std::move(source)), outputFolder_(std::move(outputFolder)) {}

    std::string FileName(veltrin::FileBox box) const override {
        switch (box) {
            case veltrin::FileBox::k128Rom:
                return source_.string();
            case veltrin::FileBox::kPlus2Rom:
                return (outputFolder_ / "Spectrum+2_ROM0.asm").string();
            case veltrin::FileBox::kSpanishPlus2Rom:
                return (outputFolder_ / "Spectrum+2_Spanish_ROM0.asm").string();
            case veltrin::FileBox::kFrenchPlus2Rom:
                return (outputFolder_ / "Spectrum+2_French_ROM0.asm").string();
        }
        return {};
    }
    void SetStatus(const std::string& /*caption*/) override {}
    void SetInputEnabled(veltrin::RunInput /*input*/, bool /*enabled*/) override {}
    void SetBusyPointer(bool /*busy*/) override {}

  private:
    fs::path source_;
    fs::path outputFolder_;
};

// What a run does between the Create button and "Done!": the create command itself, without the window.
void Conversion(benchmark::State& state, const ScaledListing& listing, const fs::path& outputFolder) {
    SilentView view(listing.path, outputFolder);
    for (auto _ : state) {
        if (veltrin::CreateCommand(view).Run() != veltrin::RunOutcome::kDone) {
            state.SkipWithError("the conversion of the scaled listing failed");
            break;
        }
    }
    SetThroughput(state, listing);
}

// Writes bytes to a new file, as the listings are written: all of it, then on the disk, then closed.
bool WriteFile(const fs::path& path, const std::string& bytes, bool durable) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written <= 0) {
            ::close(fd);
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    const bool synced = !durable || ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// The floor: the source read once and its bytes written three times. The durable floor puts each file on the
// disk before closing it, as the listings are; the cached floor leaves them in the page cache.
void Floor(benchmark::State& state, const ScaledListing& listing, const fs::path& outputFolder, bool durable) {
    for (auto _ : state) {
        std::ifstream in(listing.path, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(listing.bytes), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!in) {
            state.SkipWithError("cannot read the scaled listing");
            break;
        }
        for (const char* copy : {"copy1.asm", "copy2.asm", "copy3.asm"}) {
            if (!WriteFile(outputFolder / copy, bytes, durable)) {
                state.SkipWithError("cannot write a copy");
                return;
            }
        }
        benchmark::DoNotOptimize(bytes.data());
    }
    SetThroughput(state, listing);
}

// ---------------------------------------------------------------------------------------------------------------
// The summary that checks the targets.

// Prints the benchmarks as usual and keeps the time per iteration of each, for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, so that a saved report reads as plain text.
    RecordingReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0) {
                seconds_[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Seconds per iteration of a benchmark, or a negative number when it did not run.
    double Seconds(const std::string& name) const {
        // The library adds the benchmark's settings to its name: "Floor/1x/min_time:2.000/real_time".
        const auto found = std::find_if(seconds_.begin(), seconds_.end(), [&name](const auto& entry) {
            return entry.first == name || entry.first.starts_with(name + "/");
        });
        return found == seconds_.end() ? -1.0 : found->second;
    }

  private:
    std::map<std::string, double> seconds_;
};

std::string Name(const char* kind, int scale) { return std::string(kind) + "/" + std::to_string(scale) + "x"; }

void PrintSummary(const RecordingReporter& reporter, const std::vector<ScaledListing>& listings) {
    std::printf("\nSummary\n");
    std::printf("%6s %10s %12s %12s %12s %12s %10s %10s\n", "scale", "lines", "bytes", "conversion", "floor",
                "floor-cache", "/floor", "/floor-c");
    double perLineAtOne = -1;
    double perLineAtHundred = -1;
    for (const ScaledListing& listing : listings) {
        const double conversion = reporter.Seconds(Name("Conversion", listing.scale));
        const double floor = reporter.Seconds(Name("Floor", listing.scale));
        const double cached = reporter.Seconds(Name("FloorCached", listing.scale));
        if (conversion < 0) {
            continue;
        }
        std::printf("%5dx %10zu %12ju %11.3fs %11.3fs %11.3fs %10.2f %10.2f\n", listing.scale, listing.lines,
                    listing.bytes, conversion, floor, cached, floor > 0 ? conversion / floor : 0.0,
                    cached > 0 ? conversion / cached : 0.0);
        const double perLine = conversion / static_cast<double>(listing.lines);
        perLineAtOne = listing.scale == 1 ? perLine : perLineAtOne;
        perLineAtHundred = listing.scale == 100 ? perLine : perLineAtHundred;
    }
    if (perLineAtOne > 0 && perLineAtHundred > 0) {
        std::printf("cost per line: %.1f ns at 1x, %.1f ns at 100x, ratio %.2f (target: at most 1.20)\n",
                    perLineAtOne * 1e9, perLineAtHundred * 1e9, perLineAtHundred / perLineAtOne);
    }
}

// ---------------------------------------------------------------------------------------------------------------

struct Options {
    fs::path source = VELTRIN_SAMPLE_LISTING;
    int writeScaled = 0;
    fs::path output;
};

// Takes this program's own options out of argv and leaves the benchmark library's.
Options TakeOptions(int& argc, char** argv) {
    Options options;
    int kept = 1;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.starts_with("--source=")) {
            options.source = std::string(argument.substr(9));
        } else if (argument.starts_with("--write-scaled=")) {
            options.writeScaled = std::stoi(std::string(argument.substr(15)));
        } else if (argument.starts_with("--output=")) {
            options.output = std::string(argument.substr(9));
        } else {
            argv[kept++] = argv[index];
        }
    }
    argc = kept;
    return options;
}

// A temporary folder for one run, removed with everything in it at the end.
class ScratchFolder {
  public:
    ScratchFolder() : path_(fs::temp_directory_path() / ("veltrin-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

}  // namespace

int main(int argc, char** argv) {
    const Options options = TakeOptions(argc, argv);
    const SourceLines sample = LoadOrThrow(options.source);
    if (options.writeScaled > 0) {
        WriteLines(options.output,
                   ScaleListing(sample, kRealListingLines * static_cast<std::size_t>(options.writeScaled)));
        return 0;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const ScratchFolder scratch;
    const fs::path outputs = scratch.path() / "out";
    fs::create_directories(outputs);

    std::vector<ScaledListing> listings;
    for (const int scale : kScales) {
        const fs::path path = scratch.path() / ("Spectrum128_ROM0_" + std::to_string(scale) + "x.asm");
        const SourceLines scaled = ScaleListing(sample, kRealListingLines * static_cast<std::size_t>(scale));
        WriteLines(path, scaled);
        listings.push_back({scale, path, scaled.size() - 1, fs::file_size(path)});
    }
    for (const ScaledListing& listing : listings) {
        const double minTime = listing.scale == 100 ? 5.0 : 2.0;
        benchmark::RegisterBenchmark(Name("Conversion", listing.scale).c_str(), Conversion, listing, outputs)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(minTime);
        benchmark::RegisterBenchmark(Name("Floor", listing.scale).c_str(), Floor, listing, outputs, true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(minTime);
        benchmark::RegisterBenchmark(Name("FloorCached", listing.scale).c_str(), Floor, listing, outputs, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(minTime);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter, listings);
    benchmark::Shutdown();
    return 0;
}
