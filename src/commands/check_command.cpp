#include "commands/check_command.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>

#include "commands/model_threads.h"
#include "commands/source_listing.h"
#include "commands/unexpected_error.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/message_text.h"
#include "toolkit/listing_difference.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCheckErrorTitle = "Check Error";

// What a check says of one listing: its part of the report, and whether the listing is up to date.
struct ListingReport {
    std::string text;
    bool upToDate = false;
};

// How the file compares with the listing that a run would write for the model. The file is only read, through a
// handle opened for reading, so that it and its modification time stay as they were. What ended the model's script
// when it failed, and then no report.
std::optional<ScriptFailure> CheckListing(const Plus2Model& model, const std::string& fileName,
                                          const SourceLines& sourceLines, std::stop_token stop,
                                          const CheckReport& options, std::string_view sourceName,
                                          ListingReport& report) {
    const fs::path name = PathFromUtf8(fileName);
    const std::string heading = std::string(model.name) + " ROM disassembly " + QuotedText(fileName) + ": ";
    ListingReader reader;
    std::optional<Failure> unreadable = reader.Open(name);
    const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kReadPiece);
    std::uint64_t lines = 0;
    ListingComparison comparison(
        [&]() -> std::string_view {
            if (unreadable) {
                return "";
            }
            const Expected<std::size_t> got = reader.Read(piece.get(), kReadPiece);
            if (!got) {
                unreadable = got.Why();
                return "";
            }
            const std::string_view bytes(piece.get(), *got);
            // Only one line is held at a time, but no more lines are read than a run would load.
            lines += static_cast<std::uint64_t>(std::ranges::count(bytes, '\n'));
            if (lines > kMaxSourceLines) {
                unreadable = TooLarge("more than " + std::to_string(kMaxSourceLines) + " lines");
                return "";
            }
            return bytes;
        },
        options.diffs);
    if (std::optional<ScriptFailure> failure = model.CreateListing(sourceLines, comparison, std::move(stop))) {
        return failure;
    }
    const std::optional<ListingDifference> difference = comparison.Finish();
    if (const std::optional<fs::path> backup = FindBackup(name)) {
        report.text =
            heading + "cut off while a run rewrote it; its old listing is in " + QuotedFileName(*backup) + "\n";
    } else if (unreadable) {
        report.text = heading + unreadable->reportWords + "\n";
    } else if (!difference) {
        report.text = options.problemsOnly ? "" : heading + "up to date\n";
        report.upToDate = true;
    } else {
        // A diff that shows all of the difference stands alone when only problems are reported.
        const std::string_view hunks = difference->Hunks();
        if (!options.problemsOnly || hunks.empty() || difference->lineFeedsOnly) {
            report.text = heading + difference->Text();
        }
        if (!hunks.empty()) {
            report.text.append("--- " + fileName + "\n+++ " + fileName + "\tderived from ").append(sourceName);
            report.text.append("\n").append(hunks);
        }
    }
    return std::nullopt;
}

}  // namespace

CheckOutcome CheckListings(CreateView& view, std::ostream& report, CheckReport options) {
    const auto fail = [&view](std::string_view message, std::string_view title) {
        view.ShowMessage(message, title);
        view.SetStatus(kErrorStatus);
        return CheckOutcome::kError;
    };
    std::string doing = "loading the Spectrum 128 ROM disassembly";
    try {
        Expected<LoadedListing> source = LoadSourceListing(PathFromUtf8(view.SourceName()));
        if (!source) {
            return fail(source.Reason(), kLoadErrorTitle);
        }
        // Each listing is derived and compared on a thread of its own; its report and messages follow those of the
        // listings before it.
        std::array<std::string, kPlus2Models.size()> names;
        std::array<ListingReport, kPlus2Models.size()> reports;
        const std::string sourceName = view.SourceName();
        for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
            names.at(index) = view.ListingName(*kPlus2Models.at(index));
        }
        ModelThreads threads(kPlus2Models.size(), [&](std::size_t index, std::stop_token stop) {
            return CheckListing(*kPlus2Models.at(index), names.at(index), source->lines, std::move(stop), options,
                                sourceName, reports.at(index));
        });
        bool upToDate = true;
        for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
            const Plus2Model& model = *kPlus2Models.at(index);
            doing = "checking the " + std::string(model.name) + " ROM disassembly";
            if (!threads.Finish(index, view)) {
                return fail(model.failureMessage, kLoadErrorTitle);
            }
            report << reports.at(index).text;
            upToDate = reports.at(index).upToDate && upToDate;
        }
        return upToDate ? CheckOutcome::kUpToDate : CheckOutcome::kOutOfDate;
    } catch (const RunCancelled&) {
        throw;
    } catch (...) {
        return fail(UnexpectedErrorMessage("check", doing), kCheckErrorTitle);
    }
}

}  // namespace veltrin
