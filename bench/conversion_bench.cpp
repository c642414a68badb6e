// Times whole veltrin-cli processes, from their start to their exit (load the 128 listing, derive the three +2
// listings, write them and put them on the disk), on a listing of the shape of a real annotated ROM 0 listing at
// 1, 10 and 100 times its length, against the floor of the same run done by the shell: the source copied to three
// files with cat and the three put on the disk with sync, beside veltrin-cli's listings. It also measures the peak
// memory of a veltrin-cli process on the 100x listing, and checks the targets.
//
//   veltrin_bench [benchmark options] [--source=FILE]
//   veltrin_bench --write-scaled=FACTOR --output=FILE [--source=FILE]   (writes one scaled listing and stops)

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.h"
#include "scaled_listing.h"

namespace {

namespace fs = std::filesystem;
using veltrin::bench::kRealListingLines;

constexpr std::array kScales{1, 10, 100};

// Each benchmark runs this many times, in a random order across all of them, and the summary takes the median;
// each repetition runs its process as many times as fit in about this many seconds, once at least.
constexpr int kRepetitions = 7;
constexpr double kSecondsPerRepetition = 1.0;

// The floor of a run: what the shell does to copy the source ($1) to three files ($2, $3, $4) and put them on
// the disk. No conversion can read less or write less.
constexpr std::string_view kFloorScript =
    R"(cat "$1" > "$2" && cat "$1" > "$3" && cat "$1" > "$4" && sync "$2" "$3" "$4")";

struct ScaledListing {
    int scale = 0;
    fs::path path;
    fs::path outputFolder;  // veltrin-cli's three listings and the floor's three copies
    std::size_t lines = 0;
    std::uintmax_t bytes = 0;
};

std::vector<std::string> CliArguments(const ScaledListing& listing) {
    return {VELTRIN_CLI,
            "--source",
            listing.path.string(),
            "--english",
            (listing.outputFolder / "english.asm").string(),
            "--spanish",
            (listing.outputFolder / "spanish.asm").string(),
            "--french",
            (listing.outputFolder / "french.asm").string()};
}

std::vector<std::string> FloorArguments(const ScaledListing& listing) {
    return {"/bin/sh",
            "-c",
            std::string(kFloorScript),
            "floor",
            listing.path.string(),
            (listing.outputFolder / "copy1.asm").string(),
            (listing.outputFolder / "copy2.asm").string(),
            (listing.outputFolder / "copy3.asm").string()};
}

// Runs a process once, untimed by the benchmark, and gives how long it took from its start to its exit.
double TimeOnce(const std::vector<std::string>& arguments, veltrin::bench::ChildResult& result) {
    const auto start = std::chrono::steady_clock::now();
    result = veltrin::bench::RunChild(arguments);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result.succeeded) {
        std::string command;
        for (const std::string& argument : arguments) {
            command += (command.empty() ? "" : " ") + argument;
        }
        throw std::runtime_error("this process failed: " + command);
    }
    return seconds;
}

// One whole process an iteration, timed from its start to its exit.
void WholeProcess(benchmark::State& state, const ScaledListing& listing, const std::vector<std::string>& arguments) {
    for (auto _ : state) {
        if (!veltrin::bench::RunChild(arguments).succeeded) {
            state.SkipWithError("the process failed");
            break;
        }
    }
    state.counters["lines/s"] =
        benchmark::Counter(static_cast<double>(listing.lines), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["bytes/s"] =
        benchmark::Counter(static_cast<double>(listing.bytes), benchmark::Counter::kIsIterationInvariantRate,
                           benchmark::Counter::OneK::kIs1024);
}

// Prints the benchmarks as usual and keeps the median time per iteration of each, for the summary.
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

std::string CliName(int scale) { return "veltrin-cli/" + std::to_string(scale) + "x"; }
std::string FloorName(int scale) { return "floor/" + std::to_string(scale) + "x"; }

// A target is held when its value was measured and is at most the limit.
void PrintTarget(const char* what, double value, double limit, const char* unit) {
    const bool held = value >= 0 && value <= limit;
    if (value < 0) {
        std::printf("  %-58s %10s %-4s (target: at most %.2f) NOT HELD\n", what, "unmeasured", "", limit);
    } else {
        std::printf("  %-58s %10.2f %-4s (target: at most %.2f) %s\n", what, value, unit, limit,
                    held ? "held" : "NOT HELD");
    }
}

void PrintShape(const veltrin::bench::ListingShape& shape) {
    std::printf("Shape of the scaled listing (a real annotated listing in brackets):\n");
    std::printf(
        "  %.1f bytes a line (43.9), %.1f %% blank (22), %.1f %% comment lines (30), a label every %.1f lines "
        "(15),\n  an Lxxxx operand every %.1f lines (6), a \" (ROM 0)\" reference every %.1f lines (85), "
        "comment lines up to %zu characters (120)\n\n",
        shape.bytesPerLine, shape.blankShare * 100, shape.commentShare * 100, shape.linesPerLabel,
        shape.linesPerOperand, shape.linesPerRom0, shape.longestComment);
}

// Prints the medians and the targets; false when a process could not be measured.
bool PrintSummary(const RecordingReporter& reporter, const std::vector<ScaledListing>& listings,
                  const veltrin::bench::ChildResult& peak) {
    std::printf(
        "\nSummary: whole processes from start to exit, medians of %d repetitions; the floor is\n"
        "  /bin/sh -c 'cat S > a && cat S > b && cat S > c && sync a b c', beside veltrin-cli's listings\n\n",
        kRepetitions);
    std::printf("%6s %10s %12s %14s %12s %8s %12s\n", "scale", "lines", "bytes", "veltrin-cli", "floor", "/floor",
                "ns a line");
    std::map<int, double> perLine;
    std::map<int, double> overFloor;
    bool measured = true;
    for (const ScaledListing& listing : listings) {
        const double cli = reporter.Seconds(CliName(listing.scale));
        const double floor = reporter.Seconds(FloorName(listing.scale));
        if (cli < 0 || floor <= 0) {
            std::printf("%5dx %10zu %12ju   not measured\n", listing.scale, listing.lines, listing.bytes);
            measured = false;
            continue;
        }
        perLine[listing.scale] = cli / static_cast<double>(listing.lines);
        overFloor[listing.scale] = cli / floor;
        std::printf("%5dx %10zu %12ju %11.1f ms %9.1f ms %8.2f %12.1f\n", listing.scale, listing.lines, listing.bytes,
                    cli * 1e3, floor * 1e3, overFloor[listing.scale], perLine[listing.scale] * 1e9);
    }
    const auto measuredOr = [](const std::map<int, double>& values, int scale) {
        const auto found = values.find(scale);
        return found == values.end() ? -1.0 : found->second;
    };
    const double sourceMb = static_cast<double>(listings.back().bytes) / 1048576.0;
    const double peakMb = static_cast<double>(peak.peakMemoryKb) / 1024.0;
    std::printf("\nPeak memory of a veltrin-cli process on 100x: %.1f MiB (source %.1f MiB)\n\nTargets\n", peakMb,
                sourceMb);
    const double hundred = measuredOr(overFloor, 100);
    PrintTarget("100x veltrin-cli process over the floor", hundred, 2.0, "x");
    PrintTarget("1x veltrin-cli process over the floor", measuredOr(overFloor, 1), 1.3, "x");
    PrintTarget("cost a line at 100x over that at 1x",
                perLine.contains(1) && perLine.contains(100) ? perLine[100] / perLine[1] : -1.0, 1.2, "x");
    PrintTarget("peak memory of 100x veltrin-cli (1.5 x source + 64 MiB)", peak.succeeded ? peakMb : -1.0,
                1.5 * sourceMb + 64.0, "MiB");
    std::printf("\nAim: the 100x veltrin-cli process within 1.50 times the floor: %s\n", hundred < 0      ? "unmeasured"
                                                                                         : hundred <= 1.5 ? "met"
                                                                                                          : "not met");
    return measured && peak.succeeded;
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

// Real time, since the time is spent in another process; the repetitions run in a random order across the
// benchmarks, so that a disk that is slower for a while does not weigh on one of them alone.
void Register(const std::string& name, const ScaledListing& listing, const std::vector<std::string>& arguments,
              double secondsOnce) {
    const auto iterations = static_cast<benchmark::IterationCount>(
        std::max(1.0, std::round(kSecondsPerRepetition / std::max(secondsOnce, 1e-3))));
    benchmark::RegisterBenchmark(name.c_str(), WholeProcess, listing, arguments)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(iterations)
        ->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true);
}

int Run(int argc, char** argv) {
    const Options options = TakeOptions(argc, argv);
    if (options.writeScaled > 0) {
        WriteFile(options.output,
                  veltrin::bench::ScaleListing(ReadFile(options.source),
                                               kRealListingLines * static_cast<std::size_t>(options.writeScaled)));
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

    // Each scaled listing is written by a process of its own, and the peak memory of a 100x veltrin-cli run is
    // measured before this process holds anything large: a child's peak memory counts its parent's as it started.
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    std::vector<ScaledListing> listings;
    for (const int scale : kScales) {
        ScaledListing listing;
        listing.scale = scale;
        listing.path = scratch.path() / ("Spectrum128_ROM0_" + std::to_string(scale) + "x.asm");
        listing.outputFolder = scratch.path() / (std::to_string(scale) + "x");
        fs::create_directories(listing.outputFolder);
        if (!veltrin::bench::RunChild({self, "--source=" + options.source.string(),
                                       "--write-scaled=" + std::to_string(scale), "--output=" + listing.path.string()})
                 .succeeded) {
            throw std::runtime_error("cannot write the listing scaled " + std::to_string(scale) + " times");
        }
        listing.bytes = fs::file_size(listing.path);
        listings.push_back(listing);
    }

    // A first run of each writes the files that every timed run replaces, as a run replaces its listings of the
    // last time; a second one, which replaces them, gives how many runs fit in a repetition. The second 100x
    // veltrin-cli run gives the peak memory.
    std::map<std::string, double> secondsOnce;
    veltrin::bench::ChildResult peak;
    for (const ScaledListing& listing : listings) {
        veltrin::bench::ChildResult cli;
        veltrin::bench::ChildResult floor;
        for (int run = 0; run < 2; ++run) {
            secondsOnce[CliName(listing.scale)] = TimeOnce(CliArguments(listing), cli);
            secondsOnce[FloorName(listing.scale)] = TimeOnce(FloorArguments(listing), floor);
        }
        for (const char* copy : {"copy1.asm", "copy2.asm", "copy3.asm"}) {
            if (fs::file_size(listing.outputFolder / copy) != listing.bytes) {
                throw std::runtime_error("the floor did not copy " + listing.path.string());
            }
        }
        if (listing.scale == kScales.back()) {
            peak = cli;
        }
    }

    for (ScaledListing& listing : listings) {
        const veltrin::bench::ListingShape shape = veltrin::bench::MeasureShape(ReadFile(listing.path));
        listing.lines = shape.lines;
        if (listing.scale == kScales.back()) {
            PrintShape(shape);
        }
    }
    for (const ScaledListing& listing : listings) {
        Register(CliName(listing.scale), listing, CliArguments(listing), secondsOnce[CliName(listing.scale)]);
        Register(FloorName(listing.scale), listing, FloorArguments(listing), secondsOnce[FloorName(listing.scale)]);
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool measured = PrintSummary(reporter, listings, peak);
    benchmark::Shutdown();
    return measured ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "veltrin_bench: %s\n", error.what());
        return 1;
    }
}
