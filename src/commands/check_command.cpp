#include "commands/check_command.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>

#include "commands/difference_report.h"
#include "commands/listing_difference.h"
#include "commands/model_threads.h"
#include "commands/source_listing.h"
#include "commands/unexpected_error.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/message_text.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCheckErrorTitle = "Check Error";

// Compares each line of the model's listing, as it is derived, with the file's.
class ComparingSink final : public LineSink {
  public:
    explicit ComparingSink(ListingComparison& comparison) : comparison_(comparison) {}
    void Write(std::string_view line) override {
        comparison_.Expect(line);
        comparison_.Expect(kListingLineEnd);
    }

  private:
    ListingComparison& comparison_;
};

// How the file compares with the listing that a run would write for the model, as a line of the report, and in
// `upToDate` whether it is. The file is only read, through a handle opened for reading, so that it and its
// modification time stay as they were. What ended the model's script when it failed, and then no report.
std::optional<ScriptFailure> CheckListing(const Plus2Model& model, const std::string& fileName,
                                          const SourceLines& sourceLines, std::stop_token stop, std::ostream& report,
                                          const DifferenceReport& options, bool& upToDate) {
    const fs::path name = PathFromUtf8(fileName);
    const std::string heading = std::string(model.name) + " ROM disassembly " + QuotedText(fileName) + ": ";
    ListingReader reader;
    const std::optional<Failure> unreadable = reader.Open(name);
    const std::unique_ptr<char[]> piece = std::make_unique_for_overwrite<char[]>(kReadPiece);
    ListingComparison comparison(
        [&]() -> Expected<std::string_view> {
            if (unreadable) {
                return std::string_view();
            }
            const Expected<std::size_t> got = reader.Read(piece.get(), kReadPiece);
            return got ? Expected<std::string_view>(std::string_view(piece.get(), *got)) : Failure{got.Reason()};
        },
        options.diffs);
    ComparingSink listing(comparison);
    if (std::optional<ScriptFailure> failure = model.CreateListing(sourceLines, listing, std::move(stop))) {
        return failure;
    }
    Expected<std::optional<ListingDifference>> difference = comparison.Finish();
    if (const std::optional<fs::path> backup = FindBackup(name)) {
        report << heading << "cut off while a run rewrote it; its old listing is in " << QuotedFileName(*backup)
               << "\n";
        return std::nullopt;
    }
    if (unreadable || !difference) {
        const std::string& reason = unreadable ? unreadable->reason : difference.Reason();
        report << heading << (reason == "does not exist." ? "missing" : reason.substr(0, reason.size() - 1)) << "\n";
        return std::nullopt;
    }
    if (!*difference) {
        if (!options.quiet) {
            report << heading << "up to date\n";
        }
        upToDate = true;
        return std::nullopt;
    }
    WriteDifferenceReport(report, heading, fileName, options, **difference);
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
        // Each listing is derived and compared on a thread of its own; its report line and messages follow those of
        // the listings before it.
        std::array<std::string, kPlus2Models.size()> names;
        std::array<std::ostringstream, kPlus2Models.size()> reports;
        std::array<bool, kPlus2Models.size()> listingsUpToDate{};
        const std::string sourceName = view.SourceName();
        const DifferenceReport differenceReport{sourceName, options.diffs, options.problemsOnly};
        for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
            names.at(index) = view.ListingName(*kPlus2Models.at(index));
        }
        ModelThreads threads(kPlus2Models.size(), [&](std::size_t index, std::stop_token stop) {
            return CheckListing(*kPlus2Models.at(index), names.at(index), source->lines, std::move(stop),
                                reports.at(index), differenceReport, listingsUpToDate.at(index));
        });
        bool upToDate = true;
        for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
            const Plus2Model& model = *kPlus2Models.at(index);
            doing = "checking the " + std::string(model.name) + " ROM disassembly";
            if (!threads.Finish(index, view)) {
                return fail(model.failureMessage, kLoadErrorTitle);
            }
            report << reports.at(index).str();
            upToDate = listingsUpToDate.at(index) && upToDate;
        }
        return upToDate ? CheckOutcome::kUpToDate : CheckOutcome::kOutOfDate;
    } catch (const RunCancelled&) {
        throw;
    } catch (...) {
        return fail(UnexpectedErrorMessage("check", doing), kCheckErrorTitle);
    }
}

}  // namespace veltrin
