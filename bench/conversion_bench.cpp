// Times the whole conversion (load the 128 listing, generate the three +2 listings, write them) on a listing of
// the shape of a real annotated ROM 0 listing at 1, 10 and 100 times its length, and in the same run the floor
// that no conversion can beat: reading the source once and writing its bytes three times, each put on the disk.
// It also compares a whole veltrin-cli process on the 1x listing with a process that only copies the source to
// three files, and measures the peak memory of a veltrin-cli process on the 100x listing.
//
//   veltrin_bench [benchmark options] [--source=FILE]
//   veltrin_bench --write-scaled=FACTOR --output=FILE [--source=FILE]   (writes one scaled listing and stops)

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
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

#include "child_process.h"
#include "commands/create_command.h"
#include "floor_copy.h"
#include "scaled_listing.h"

namespace {

namespace fs = std::filesystem;
using veltrin::bench::kRealListingLines;

constexpr std::array kScales{1, 10, 100};

struct ScaledListing {
    int scale;
    fs::path path;
    std::size_t lines;
    std::uintmax_t bytes;
};

// The window's side of a run, without a window: the four names in the benchmark's folders, nothing shown.
class SilentView final : public veltrin::CreateView {
  public:
    SilentView(fs::path source, fs::path outputFolder)
        : source_(std::move(source)), outputFolder_(std::move(outputFolder)) {}

    std::string SourceName() const override { return source_.string(); }
    std::string ListingName(const veltrin::Plus2Model& model) const override {
        return (outputFolder_ / model.defaultFileName).string();
    }
    std::string SourceInputName() const override { return "name"; }
    std::string ListingInputName(const veltrin::Plus2Model& /*model*/) const override { return "name"; }
    void SetStatus(std::string_view /*status*/) override {}
    void SetInputsEnabled(bool /*enabled*/) override {}
    void SetBusyPointer(bool /*busy*/) override {}

  private:
    fs::path source_;
    fs::path outputFolder_;
};

std::vector<std::string> CliArguments(const ScaledListing& listing, const fs::path& outputFolder) {
    return {VELTRIN_CLI,
            "--source",
            listing.path.string(),
            "--english",
            (outputFolder / "english.asm").string(),
            "--spanish",
            (outputFolder / "spanish.asm").string(),
            "--french",
            (outputFolder / "french.asm").string()};
}

std::vector<std::string> CopyArguments(const ScaledListing& listing, const fs::path& outputFolder) {
    return {VELTRIN_COPY_FLOOR, listing.path.string(), (outputFolder / "copy1.asm").string(),
            (outputFolder / "copy2.asm").string(), (outputFolder / "copy3.asm").string()};
}

void SetThroughput(benchmark::State& state, const ScaledListing& listing) {
    const auto lines = static_cast<double>(listing.lines);
    state.counters["lines/s"] = benchmark::Counter(lines, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/s"] =
        benchmark::Counter(static_cast<double>(listing.bytes), benchmark::Counter::kIsIterationInvariantRate,
                           benchmark::Counter::OneK::kIs1024);
}

// Gives the memory that an iteration let go back to the system, so that every iteration starts as a new run of
// the program does, with memory that it must be given afresh. The allocator would otherwise keep the freed
// memory of a small listing for the next iteration, but not that of a large one, which is returned at once, and
// the cost a line of the two would not be measured alike.
void StartAfresh(benchmark::State& state) {
    state.PauseTiming();
    ::malloc_trim(0);
    state.ResumeTiming();
}

// What a run does between the Create button and "Done!": the create command itself, without the window.
void Conversion(benchmark::State& state, const ScaledListing& listing, const fs::path& outputFolder) {
    SilentView view(listing.path, outputFolder);
    for (auto _ : state) {
        if (veltrin::CreateCommand(view).Run() != veltrin::RunOutcome::kDone) {
            state.SkipWithError("the conversion of the scaled listing failed");
            break;
        }
        StartAfresh(state);
    }
    SetThroughput(state, listing);
}

void Floor(benchmark::State& state, const ScaledListing& listing, const fs::path& outputFolder) {
    const std::array<fs::path, 3> copies{outputFolder / "copy1.asm", outputFolder / "copy2.asm",
                                         outputFolder / "copy3.asm"};
    for (auto _ : state) {
        if (!veltrin::bench::CopyToFiles(listing.path, copies)) {
            state.SkipWithError("cannot copy the scaled listing");
            break;
        }
        StartAfresh(state);
    }
    SetThroughput(state, listing);
}

// Median seconds of whole processes, from their start to their exit: a veltrin-cli run and a copying process, in
// turns, so that a disk that is slower for a while slows both alike.
struct ProcessTimes {
    double cli = -1;
    double copy = -1;
};

ProcessTimes TimeProcesses(const std::vector<std::string>& cli, const std::vector<std::string>& copy, int rounds) {
    std::vector<double> cliTimes;
    std::vector<double> copyTimes;
    const auto timed = [](const std::vector<std::string>& arguments, std::vector<double>& times) {
        const auto start = std::chrono::steady_clock::now();
        const bool succeeded = veltrin::bench::RunChild(arguments).succeeded;
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return succeeded;
    };
    for (int round = 0; round < rounds; ++round) {
        if (!timed(cli, cliTimes) || !timed(copy, copyTimes)) {
            return {};
        }
    }
    const auto median = [](std::vector<double>& times) {
        std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(times.size() / 2), times.end());
        return times[times.size() / 2];
    };
    return {median(cliTimes), median(copyTimes)};
}

// Prints the benchmarks as usual and keeps the time per iteration of each, for the summary.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, so that a saved report reads as plain text.
    RecordingReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                seconds_[run.run_name.function_name] = run.GetAdjustedRealTime() * 1e-3;  // reported in milliseconds
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Median seconds per iteration of a benchmark, or a negative number when it did not run.
    double Seconds(const std::string& name) const {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? -1.0 : found->second;
    }

  private:
    std::map<std::string, double> seconds_;
};

std::string Name(const char* kind, int scale) { return std::string(kind) + "/" + std::to_string(scale) + "x"; }

void PrintTarget(const char* what, double value, double limit, const char* unit) {
    std::printf("  %-58s %10.2f %-4s (target: at most %.2f) %s\n", what, value, unit, limit,
                value >= 0 && value <= limit ? "held" : "NOT HELD");
}

void PrintShape(const std::string& listing) {
    const veltrin::bench::ListingShape shape = veltrin::bench::MeasureShape(listing);
    std::printf("Shape of the scaled listing (a real annotated listing in brackets):\n");
    std::printf(
        "  %.1f bytes a line (43.9), %.1f %% blank (22), %.1f %% comment lines (30), a label every %.1f lines "
        "(15),\n  an Lxxxx operand every %.1f lines (6), a \" (ROM 0)\" reference every %.1f lines (85), "
        "comment lines up to %zu characters (120)\n\n",
        shape.bytesPerLine, shape.blankShare * 100, shape.commentShare * 100, shape.linesPerLabel,
        shape.linesPerOperand, shape.linesPerRom0, shape.longestComment);
}

void PrintSummary(const RecordingReporter& reporter, const std::vector<ScaledListing>& listings,
                  const veltrin::bench::ChildResult& peak, const ProcessTimes& processes) {
    std::printf("\nSummary\n%6s %10s %12s %12s %12s %10s %12s\n", "scale", "lines", "bytes", "conversion", "floor",
                "/floor", "ns a line");
    std::map<int, double> perLine;
    double hundredOverFloor = -1;
    for (const ScaledListing& listing : listings) {
        const double conversion = reporter.Seconds(Name("Conversion", listing.scale));
        const double floor = reporter.Seconds(Name("Floor", listing.scale));
        if (conversion < 0 || floor <= 0) {
            continue;
        }
        perLine[listing.scale] = conversion / static_cast<double>(listing.lines);
        std::printf("%5dx %10zu %12ju %11.1fms %11.1fms %10.2f %12.1f\n", listing.scale, listing.lines, listing.bytes,
                    conversion * 1e3, floor * 1e3, conversion / floor, perLine[listing.scale] * 1e9);
        hundredOverFloor = listing.scale == 100 ? conversion / floor : hundredOverFloor;
    }
    const double cli = processes.cli;
    const double copy = processes.copy;
    const std::uintmax_t hundredBytes = listings.back().bytes;
    const double peakMb = static_cast<double>(peak.peakMemoryKb) / 1024.0;
    const double peakLimitMb = 1.5 * static_cast<double>(hundredBytes) / 1048576.0 + 64.0;
    std::printf(
        "\nveltrin-cli process on 1x: %.1f ms; a process that copies the source to three files: %.1f ms "
        "(medians)\n",
        cli * 1e3, copy * 1e3);
    std::printf("Peak memory of a veltrin-cli process on 100x: %.1f MiB (source %.1f MiB)\n\nTargets\n", peakMb,
                static_cast<double>(hundredBytes) / 1048576.0);
    PrintTarget("100x conversion over the floor", hundredOverFloor, 2.5, "x");
    PrintTarget("cost a line at 100x over that at 1x",
                perLine.contains(1) && perLine.contains(100) ? perLine[100] / perLine[1] : -1, 1.2, "x");
    PrintTarget("peak memory of 100x veltrin-cli (1.5 x source + 64 MiB)", peak.succeeded ? peakMb : -1, peakLimitMb,
                "MiB");
    PrintTarget("veltrin-cli process on 1x over a copying process", cli > 0 && copy > 0 ? cli / copy : -1, 2.0, "x");
}

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

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return bytes;
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
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

// Three repetitions of each, in a random order across the benchmarks, so that a disk that is slower for a while
// does not weigh on one of them alone; the summary takes the median.
void Register(const std::string& name, double minTime, auto function, auto&&... arguments) {
    benchmark::RegisterBenchmark(name.c_str(), function, arguments...)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(minTime)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = TakeOptions(argc, argv);
    const std::string sample = ReadFile(options.source);
    if (options.writeScaled > 0) {
        WriteFile(options.output, veltrin::bench::ScaleListing(
                                      sample, kRealListingLines * static_cast<std::size_t>(options.writeScaled)));
        return 0;
    }

    std::vector<char*> arguments(argv, argv + argc);
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleaving.data());
    argc = static_cast<int>(arguments.size());
    benchmark::Initialize(&argc, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(argc, arguments.data())) {
        return 1;
    }
    const ScratchFolder scratch;
    const fs::path outputs = scratch.path() / "out";
    fs::create_directories(outputs);

    // Each scaled listing is written by a process of its own, and the peak memory of a 100x veltrin-cli run is
    // measured before this process holds anything large: a child's peak counts its parent's as it started.
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<ScaledListing> listings;
    for (const int scale : kScales) {
        const fs::path path = scratch.path() / ("Spectrum128_ROM0_" + std::to_string(scale) + "x.asm");
        if (!veltrin::bench::RunChild({self, "--source=" + options.source.string(),
                                       "--write-scaled=" + std::to_string(scale), "--output=" + path.string()})
                 .succeeded) {
            throw std::runtime_error("cannot write the listing scaled " + std::to_string(scale) + " times");
        }
        listings.push_back({scale, path, 0, fs::file_size(path)});
    }
    const veltrin::bench::ChildResult peak = veltrin::bench::RunChild(CliArguments(listings.back(), outputs));
    for (ScaledListing& listing : listings) {
        const std::string scaled = ReadFile(listing.path);
        listing.lines = veltrin::bench::MeasureShape(scaled).lines;
        if (listing.scale == kScales.back()) {
            PrintShape(scaled);
        }
    }
    for (const ScaledListing& listing : listings) {
        const double minTime = listing.scale == 100 ? 3.0 : 1.0;
        Register(Name("Conversion", listing.scale), minTime, Conversion, listing, outputs);
        Register(Name("Floor", listing.scale), minTime, Floor, listing, outputs);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    constexpr int kProcessRounds = 40;
    const ProcessTimes processes = TimeProcesses(CliArguments(listings.front(), outputs),
                                                 CopyArguments(listings.front(), outputs), kProcessRounds);
    PrintSummary(reporter, listings, peak, processes);
    benchmark::Shutdown();
    return 0;
}
