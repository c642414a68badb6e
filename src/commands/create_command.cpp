#include "commands/create_command.h"

#include <array>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

#include "commands/source_listing.h"
#include "commands/version_text.h"
#include "files/listing_file.h"
#include "files/listing_file_sink.h"
#include "files/listing_writer.h"
#include "files/message_text.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kWriteErrorTitle = "Write Error";
constexpr std::string_view kNameErrorTitle = "Name Error";

// A failure found before anything is generated, and the title of its message.
struct RunFailure {
    std::string message;
    std::string_view title;
};

bool IsSameFile(const fs::path& first, const fs::path& second) {
    std::error_code error;
    if (fs::equivalent(first, second, error)) {
        return true;
    }
    // A listing that does not exist yet can still be named by another spelling of the same name.
    const auto fullName = [&error](const fs::path& name) {
        const fs::path absolute = fs::absolute(name, error);
        return error ? fs::path() : fs::weakly_canonical(absolute, error);
    };
    const fs::path firstFull = fullName(first);
    const fs::path secondFull = error ? fs::path() : fullName(second);
    return !error && firstFull == secondFull;
}

std::string WriteFailureMessage(const Plus2Model& model, const std::string& fileName, const std::string& reason) {
    std::string message = "Could not write the ";
    message.append(model.name).append(" ROM disassembly to ");
    return message.append(QuotedFileName(PathFromUtf8(fileName))).append(": ").append(reason);
}

// Checks the three listing names before the first listing is generated, so that a run never stops on a name after
// it has already replaced the listings before it.
std::optional<RunFailure> CheckListingNames(const CreateView& view, const fs::path& sourceName) {
    std::array<fs::path, kPlus2Models.size()> names;
    for (std::size_t index = 0; index < kPlus2Models.size(); ++index) {
        const Plus2Model& model = *kPlus2Models[index];
        const std::string fileName = view.ListingName(model);
        names[index] = PathFromUtf8(fileName);
        if (const std::optional<Failure> failure = CheckListingTarget(names[index])) {
            return RunFailure{WriteFailureMessage(model, fileName, failure->reason), kWriteErrorTitle};
        }
        // Writing a +2 listing over the 128 listing would destroy the only copy that the user corrects.
        if (IsSameFile(names[index], sourceName)) {
            return RunFailure{"The " + view.ListingInputName(model) +
                                  " names the Spectrum 128 ROM disassembly itself; choose another file name.",
                              kNameErrorTitle};
        }
        // The later listing would silently take the earlier one's place.
        for (std::size_t earlier = 0; earlier < index; ++earlier) {
            if (IsSameFile(names[index], names[earlier])) {
                return RunFailure{"The " + view.ListingInputName(*kPlus2Models[earlier]) + " and the " +
                                      view.ListingInputName(model) +
                                      " name the same file; choose another file name for one of them.",
                                  kNameErrorTitle};
            }
        }
    }
    return std::nullopt;
}

}  // namespace

RunOutcome CreateCommand::Run() {
    view_.SetStatus(VersionText());
    view_.SetInputsEnabled(false);
    view_.SetBusyPointer(true);
    // Nothing that goes wrong in a run may end the program: it ends the run, as a failed step does.
    std::string unexpected;
    try {
        return Convert();
    } catch (const RunCancelled&) {
        return RunOutcome::kCancelled;
    } catch (const std::bad_alloc&) {
        unexpected = "not enough memory";
    } catch (const std::exception& error) {
        unexpected = error.what();
    } catch (...) {
        unexpected = "of an unknown kind";
    }
    return Fail("The run stopped on an unexpected error: " + unexpected + ".", kLoadErrorTitle);
}

RunOutcome CreateCommand::Convert() {
    const fs::path sourceName = PathFromUtf8(view_.SourceName());
    Expected<SourceLines> sourceLines = LoadSourceListing(sourceName);
    if (!sourceLines) {
        return Fail(sourceLines.Reason(), kLoadErrorTitle);
    }
    if (const std::optional<RunFailure> failure = CheckListingNames(view_, sourceName)) {
        return Fail(failure->message, failure->title);
    }
    std::string pendingBytes;  // of the listing being written; see ListingFileSink
    pendingBytes.reserve(ListingFileSink::kPieceSize + ListingFileSink::kPieceSize / 16);
    view_.Yield();
    for (const Plus2Model* model : kPlus2Models) {
        // The listing goes to its file as it is derived; the file only takes the target's place once the listing
        // is complete, so a failed step or Exit leaves the old listing.
        const std::string fileName = view_.ListingName(*model);
        ListingFileSink listing(PathFromUtf8(fileName), pendingBytes);
        if (!model->CreateListing(*sourceLines, listing, view_)) {
            return Fail(model->failureMessage, kLoadErrorTitle);
        }
        view_.Yield();
        if (const std::optional<Failure> failure = listing.Commit()) {
            return Fail(WriteFailureMessage(*model, fileName, failure->reason), kWriteErrorTitle);
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
