#include "commands/check_command.h"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>

#include "commands/listing_difference.h"
#include "commands/source_listing.h"
#include "files/file_platform.h"
#include "files/listing_file.h"
#include "files/message_text.h"

namespace veltrin {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCheckErrorTitle = "Check Error";

enum class FileRead { kRead, kMissing, kUnreadable };

// Reads a listing's bytes through a handle opened for reading only, so that the file and its modification time
// stay as they were.
FileRead ReadListingBytes(const fs::path& fileName, std::string& bytes) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (status.type() == fs::file_type::not_found) {
        return FileRead::kMissing;
    }
    if (status.type() != fs::file_type::regular) {  // also when it cannot be examined
        return FileRead::kUnreadable;
    }
    file_platform::OpenFile file;
    file_platform::OpenedFacts facts;
    const bool read = !file_platform::OpenToRead(fileName, file, facts) && facts.ordinary && !file.ReadToEnd(bytes);
    return read ? FileRead::kRead : FileRead::kUnreadable;
}

// Gathers a derived listing as its file holds it: each line followed by CR LF.
class ListingBytes final : public LineSink {
  public:
    explicit ListingBytes(std::string& bytes) : bytes_(bytes) {}
    void Write(std::string_view line) override { bytes_.append(line).append("\r\n"); }

  private:
    std::string& bytes_;
};

// The bytes that a run writes for the model. False when the model's generator fails; it has then shown its
// step's message through the host.
bool DeriveListingBytes(const Plus2Model& model, const SourceLines& sourceLines, ConversionHost& host,
                        std::string& bytes) {
    ListingBytes listing(bytes);
    return model.CreateListing(sourceLines, listing, host);
}

// Reports how the model's file compares with its derived listing; true when it is up to date.
bool ReportListing(const Plus2Model& model, const std::string& fileName, std::string_view derived, std::ostream& report,
                   bool problemsOnly) {
    const std::string heading = std::string(model.name) + " ROM disassembly " + QuotedText(fileName) + ": ";
    std::string onDisk;
    switch (ReadListingBytes(PathFromUtf8(fileName), onDisk)) {
        case FileRead::kMissing:
            report << heading << "missing\n";
            return false;
        case FileRead::kUnreadable:
            report << heading << "cannot be read\n";
            return false;
        case FileRead::kRead:
            break;
    }
    const std::optional<ListingDifference> difference = FindListingDifference(derived, onDisk);
    if (!difference) {
        if (!problemsOnly) {
            report << heading << "up to date\n";
        }
        return true;
    }
    report << heading << "differs from line " << difference->firstLine << "\n  expected: " << difference->expected
           << "\n  found:    " << difference->found << "\n  " << difference->differingLines
           << (difference->differingLines == 1 ? " line differs" : " lines differ") << " in all\n";
    return false;
}

}  // namespace

CheckOutcome CheckListings(CreateView& view, std::ostream& report, bool problemsOnly) {
    const auto fail = [&view](std::string_view message, std::string_view title) {
        view.ShowMessage(message, title);
        view.SetStatus(kErrorStatus);
        return CheckOutcome::kError;
    };
    try {
        Expected<SourceLines> sourceLines = LoadSourceListing(PathFromUtf8(view.SourceName()));
        if (!sourceLines) {
            return fail(sourceLines.Reason(), kLoadErrorTitle);
        }
        bool upToDate = true;
        for (const Plus2Model* model : kPlus2Models) {
            std::string derived;
            if (!DeriveListingBytes(*model, *sourceLines, view, derived)) {
                return fail(model->failureMessage, kLoadErrorTitle);
            }
            upToDate = ReportListing(*model, view.ListingName(*model), derived, report, problemsOnly) && upToDate;
        }
        return upToDate ? CheckOutcome::kUpToDate : CheckOutcome::kOutOfDate;
    } catch (const std::exception& error) {
        return fail(std::string("The check stopped on an unexpected error: ") + error.what() + ".", kCheckErrorTitle);
    }
}

}  // namespace veltrin
