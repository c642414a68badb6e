#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "commands/create_view.h"
#include "files/listing_target.h"

namespace veltrin {

enum class RunOutcome {
    kDone,       // all three listings written, status "Done!"
    kError,      // stopped at the first failure, status "Error!"
    kCancelled,  // the user ended the program during a yield; nothing more was done
};

// Load the 128 listing once, check the three listing names, then derive the English, Spanish and French +2
// listings at the same time and write them in turn. Every failure, an unexpected one too, ends the run with a message
// and "Error!".
class CreateCommand {
  public:
    // The models are kPlus2Models but for a test that stands another model in for one of them.
    explicit CreateCommand(CreateView& view, const Plus2ModelList& models = kPlus2Models)
        : view_(view), models_(models) {}
    RunOutcome Run();

  private:
    RunOutcome Convert();
    // Refuses names that no one means; an outcome when the run ends there.
    std::optional<RunOutcome> CheckNames();
    std::optional<RunOutcome> FindTargets(const std::filesystem::path& sourceName);
    std::optional<RunOutcome> PutBackLeftListings(const file_system::FileFacts& source);
    RunOutcome Fail(std::string_view message, std::string_view title);
    void Finish(std::string_view status);

    CreateView& view_;
    Plus2ModelList models_;
    std::string doing_;  // what the run is doing, for a message should it stop on an unexpected error
    std::array<std::optional<ListingTarget>, kPlus2Models.size()> targets_;
};

}  // namespace veltrin
