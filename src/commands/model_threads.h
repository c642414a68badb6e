#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <future>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "commands/create_view.h"
#include "generators/listing_script.h"

namespace veltrin {

// The +2 listings are independent of each other: each is derived on a thread of its own, so that a run uses every
// core. Whatever the user sees still happens on the thread that runs the command, in the order of the models: it
// waits for each derivation in turn, letting the view yield meanwhile, and only then shows the message of the step
// that failed. A model after one that failed is never waited for, and its message is never shown.
class ModelThreads {
  public:
    // What a thread does for one model: derives its listing, until `stop` is requested; nothing when the listing was
    // derived, or what ended its script.
    using Derivation = std::function<std::optional<ScriptFailure>(std::size_t model, std::stop_token stop)>;

    ModelThreads(std::size_t models, const Derivation& derivation);
    ModelThreads(const ModelThreads&) = delete;
    ModelThreads& operator=(const ModelThreads&) = delete;
    // Stops every derivation still going at its next block and waits for them all.
    ~ModelThreads();

    // Waits for the model's derivation, yielding to the view every few milliseconds, and shows through the view the
    // message of the script's step that failed, if one did ("Convert Error"); true when the listing was derived. An
    // exception that ended the derivation is thrown again here.
    bool Finish(std::size_t model, CreateView& view);

  private:
    static constexpr std::chrono::milliseconds kYieldEvery{10};

    std::vector<std::future<std::optional<ScriptFailure>>> derivations_;
    std::vector<std::jthread> threads_;  // after the derivations, so that the threads end before their results go
};

}  // namespace veltrin
