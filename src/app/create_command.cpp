#include "app/create_command.h"

#include <array>
#include <filesystem>
#include <memory_resource>
#include <string_view>
#include <system_error>

#include "app/listing_file.h"
#include "app/listing_writer.h"
#include "app/version_text.h"
#include "generators/model_listings.h"

namespace veltrin {

namespace {

constexpr std::string_view kLoadErrorTitle = "Load Error";
constexpr std::string_view kWriteErrorTitle = "Write Error";
constexpr std::string_view kNameErrorTitle = "Name Error";

using ListingGenerator = bool (*)(const SourceLines&, OutputLines&, ConversionHost&);

// One +2 model of a run, in the order in which the run produces them.
struct ModelRun {
    ListingGenerator generate;
    FileBox box;
    std::string_view modelName;
    std::string_view failureMessage;
    std::string_view boxName;
};

constexpr std::array kModelRuns{
    ModelRun{CreatePlus2Listing, FileBox::kPlus2Rom, "Spectrum +2", "Failed to create Spectrum +2 ROM disassembly",
             "+2 ROM 0 Filename"},
    ModelRun{CreateSpanishListing, FileBox::kSpanishPlus2Rom, "Spanish Spectrum +2",
             "Failed to create Spanish Spectrum +2 ROM disassembly", "Spanish +2 ROM 0 Filename"},
    ModelRun{CreateFrenchListing, FileBox::kFrenchPlus2Rom, "French Spectrum +2",
             "Failed to create French Spectrum +2 ROM disassembly", "French +2 ROM 0 Filename"},
};

constexpr std::array kRunInputs{RunInput::kTxt128Rom, RunInput::kTxtPlus2Rom, RunInput::kTxtFrenchPlus2Rom,
                                RunInput::kTxtSpanishPlus2Rom, RunInput::kCmdCreate};

bool IsSameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    std::error_code error;
    if (std::filesystem::equivalent(first, second, error)) {
        return true;
    }
    // A listing that does not exist yet can still be named by another spelling of the source's name.
    const std::filesystem::path firstFull = std::filesystem::weakly_canonical(first, error);
    if (error) {
        return false;
    }
    const std::filesystem::path secondFull = std::filesystem::weakly_canonical(second, error);
    return !error && firstFull == secondFull;
}

}  // namespace

RunOutcome CreateCommand::Run() {
    view_.SetStatus(VersionText());
    for (const RunInput input : kRunInputs) {
        view_.SetInputEnabled(input, false);
    }
    view_.SetBusyPointer(true);

    const auto finish = [this](std::string_view status) {
        view_.SetStatus(std::string(status));
        for (const RunInput input : kRunInputs) {
            view_.SetInputEnabled(input, true);
        }
        view_.SetBusyPointer(false);
    };
    const auto fail = [this, &finish](std::string_view message, std::string_view title) {
        view_.ShowMessage(message, title);
        finish(kErrorStatus);
        return RunOutcome::kError;
    };

    try {
        const std::filesystem::path sourceName = PathFromUtf8(view_.FileName(FileBox::k128Rom));
        std::pmr::monotonic_buffer_resource sourceArena;
        SourceLines sourceLines(&sourceArena);
        std::string loadFailure;
        if (!LoadListing(sourceName, sourceLines, loadFailure)) {
            return fail("Error loading Spectrum 128 ROM disassembly", kLoadErrorTitle);
        }
        // Writing a +2 listing over the 128 listing would destroy the only copy that the user corrects.
        for (const ModelRun& model : kModelRuns) {
            if (IsSameFile(PathFromUtf8(view_.FileName(model.box)), sourceName)) {
                return fail("The " + std::string(model.boxName) +
                                " names the Spectrum 128 ROM disassembly itself; choose another file name",
                            kNameErrorTitle);
            }
        }
        for (const ModelRun& model : kModelRuns) {
            if (model.box == FileBox::kPlus2Rom) {
                view_.Yield();
            }
            // The listing's lines live in an arena that goes with it once the listing is written.
            std::pmr::monotonic_buffer_resource arena;
            OutputLines outputLines(&arena);
            outputLines.emplace_back();
            if (!model.generate(sourceLines, outputLines, view_)) {
                return fail(model.failureMessage, kLoadErrorTitle);
            }
            view_.Yield();
            const std::string fileName = view_.FileName(model.box);
            std::string failureReason;
            if (!WriteListing(PathFromUtf8(fileName), outputLines, failureReason)) {
                std::string message = "Could not write the ";
                message.append(model.modelName).append(" ROM disassembly to \"").append(fileName).append("\": ");
                return fail(message.append(failureReason), kWriteErrorTitle);
            }
        }
    } catch (const RunCancelled&) {
        return RunOutcome::kCancelled;
    }
    finish(kDoneStatus);
    return RunOutcome::kDone;
}

}  // namespace veltrin
