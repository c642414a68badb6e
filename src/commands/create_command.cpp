#include "commands/create_command.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <stop_token>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/model_threads.h"
#include "commands/source_listing.h"
#include "commands/unexpected_error.h"
#include "commands/version_text.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/listing_target.h"
#include "files/message_text.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;
using file_system::FileFacts;

constexpr std::string_view kWriteErrorTitle = "Write Error";
constexpr std::string_view kNameErrorTitle = "Name Error";
constexpr std::string_view kRestoreTitle = "Old Listing Put Back";

std::string WriteFailureMessage(const Plus2Model& model, const std::string& fileName, const std::string& reason) {
    std::string message = "Could not write the ";
    message.append(model.name).append(" ROM disassembly to ");
    return message.append(QuotedNameWhere(PathFromUtf8(fileName))).append(": ").append(reason);
}

// What two listing names that may not both be used do, when they clash: "name the same file".
std::optional<std::string> Clash(const fs::path& first, const fs::path& second) {
    if (IsSameFile(first, second)) {
        return "name the same file";
    }
    if (DifferOnlyInCase(first, second)) {
        return "name files whose names differ only in case, which many systems take for one file";
    }
    return std::nullopt;
}

// A source whose lines end in LF alone is one line to a listing, whose lines end in CR or CR LF.
std::string LineEndHint(const SourceLines& sourceLines) {
    const bool lineFeedsOnly = sourceLines.size() == 1 && sourceLines[0].find('\n') != std::string_view::npos;
    return lineFeedsOnly ? ". The lines of the Spectrum 128 ROM disassembly end in LF alone; a listing's lines end in "
                           "CR LF: convert its line ends first, with unix2dos for example."
                         : "";
}

// A name holding a line break or another control character was pasted or typed by mistake.
bool HoldsControlCharacter(std::string_view name) {
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

RunOutcome CreateCommand::Run() {
    view_.SetStatus(VersionText());
    view_.SetInputsEnabled(false);
    view_.SetBusyPointer(true);
    // Nothing that goes wrong in a run may end the program: it ends the run, as a failed step does.
    try {
        return Convert();
    } catch (const RunCancelled&) {
        return RunOutcome::kCancelled;
    } catch (...) {
        return Fail(UnexpectedErrorMessage("run", doing_), kLoadErrorTitle);
    }
}

std::optional<RunOutcome> CreateCommand::CheckNames() {
    doing_ = "checking the file names";
    std::vector<std::pair<std::string, std::string>> inputs{{view_.SourceName(), view_.SourceInputName()}};
    for (const Plus2Model* model : models_) {
        inputs.emplace_back(view_.ListingName(*model), view_.ListingInputName(*model));
    }
    for (const auto& [name, input] : inputs) {
        if (HoldsControlCharacter(name)) {
            return Fail("The " + input + " holds a line break or another control character; take it out of the name.",
                        kNameErrorTitle);
        }
    }
    return std::nullopt;
}

// A run that was cut off while it rewrote a listing in place left its old listing in a backup; once the names are
// checked and the listings held, it is put back, so that a failure later in this run leaves the old listing.
std::optional<RunOutcome> CreateCommand::PutBackLeftListings(const FileFacts& source) {
    for (std::size_t index = 0; index < models_.size(); ++index) {
        const Plus2Model& model = *models_.at(index);
        const std::string listing =
            std::string(model.name) + " ROM disassembly " + QuotedNameWhere(PathFromUtf8(view_.ListingName(model)));
        const Expected<std::optional<fs::path>> backup = PutBackLeftListing(*targets_.at(index), source);
        if (!backup) {
            return Fail("Could not put back the " + listing + ": " + backup.Reason(), kWriteErrorTitle);
        }
        if (*backup) {
            view_.ShowMessage("The " + listing +
                                  " was cut off while a run rewrote it; its old listing was put back from " +
                                  QuotedFileName(**backup) + ".",
                              kRestoreTitle);
        }
    }
    return std::nullopt;
}

// Checks the three listing names before the first listing is generated, so that a run never stops on a name after
// it has already replaced the listings before it. From here on, no other run may write them.
std::optional<RunOutcome> CreateCommand::FindTargets(const fs::path& sourceName) {
    for (std::size_t index = 0; index < models_.size(); ++index) {
        const Plus2Model& model = *models_.at(index);
        const std::string fileName = view_.ListingName(model);
        const fs::path name = PathFromUtf8(fileName);
        // Writing a +2 listing over the 128 listing would destroy the only copy that the user corrects.
        if (IsSameFile(name, sourceName)) {
            return Fail("The " + view_.ListingInputName(model) +
                            " names the Spectrum 128 ROM disassembly itself; choose another file name.",
                        kNameErrorTitle);
        }
        if (DifferOnlyInCase(name, sourceName)) {
            return Fail("The " + view_.ListingInputName(model) +
                            " names a file whose name differs from the Spectrum 128 ROM disassembly's only in case, "
                            "which many systems take for one file; choose another file name.",
                        kNameErrorTitle);
        }
        // The later listing would silently take the earlier one's place.
        for (std::size_t earlier = 0; earlier < index; ++earlier) {
            const Plus2Model& earlierModel = *models_.at(earlier);
            if (const std::optional<std::string> clash = Clash(name, PathFromUtf8(view_.ListingName(earlierModel)))) {
                return Fail("The " + view_.ListingInputName(earlierModel) + " and the " +
                                view_.ListingInputName(model) + " " + *clash +
                                "; choose another file name for one of them.",
                            kNameErrorTitle);
            }
        }
        // Once no earlier name reaches it: this run holds it from here.
        Expected<ListingTarget> target = ListingTarget::Find(name);
        if (!target) {
            return Fail(WriteFailureMessage(model, fileName, target.Reason()), kWriteErrorTitle);
        }
        targets_[index].emplace(std::move(*target));
    }
    return std::nullopt;
}

RunOutcome CreateCommand::Convert() {
    if (const std::optional<RunOutcome> outcome = CheckNames()) {
        return *outcome;
    }
    doing_ = "loading the Spectrum 128 ROM disassembly";
    const fs::path sourceName = PathFromUtf8(view_.SourceName());
    Expected<LoadedListing> source = LoadSourceListing(sourceName);
    if (!source) {
        return Fail(source.Reason(), kLoadErrorTitle);
    }
    if (const std::optional<RunOutcome> outcome = FindTargets(sourceName)) {
        return *outcome;
    }
    if (const std::optional<RunOutcome> outcome = PutBackLeftListings(source->facts)) {
        return *outcome;
    }
    // Each listing goes to its file as it is derived; the file only takes the target's place once the listing is
    // complete and the listings before it are in theirs, so a failed step or Exit leaves the old listing.
    std::array<std::unique_ptr<ListingFileSink>, kPlus2Models.size()> listings;
    for (std::size_t index = 0; index < models_.size(); ++index) {
        listings.at(index) = ListingFileSink::Open(*targets_.at(index), source->facts);
    }
    ModelThreads threads(models_.size(), [&](std::size_t index, std::stop_token stop) {
        std::optional<ScriptFailure> failure =
            models_.at(index)->CreateListing(source->lines, *listings.at(index), std::move(stop));
        if (!failure) {
            listings.at(index)->FinishWriting();
        }
        return failure;
    });
    for (std::size_t index = 0; index < models_.size(); ++index) {
        const Plus2Model& model = *models_.at(index);
        const std::string fileName = view_.ListingName(model);
        doing_ = "deriving the " + std::string(model.name) + " ROM disassembly";
        if (!threads.Finish(index, view_)) {
            return Fail(std::string(model.failureMessage) + (index == 0 ? LineEndHint(source->lines) : ""),
                        kLoadErrorTitle);
        }
        view_.Yield();
        doing_ =
            "writing the " + std::string(model.name) + " ROM disassembly to " + QuotedNameWhere(PathFromUtf8(fileName));
        if (const std::optional<Failure> failure = listings.at(index)->Commit()) {
            return Fail(WriteFailureMessage(model, fileName, failure->reason), kWriteErrorTitle);
        }
    }
    Finish(kDoneStatus);
    return RunOutcome::kDone;
}

RunOutcome CreateCommand::Fail(std::string_view message, std::string_view title) {
    view_.ShowMessage(message, title);
    Finish(kErrorStatus);
    return RunOutcome::kError;
}

void CreateCommand::Finish(std::string_view status) {
    view_.SetStatus(status);
    view_.SetInputsEnabled(true);
    view_.SetBusyPointer(false);
}

}  // namespace veltrin
