#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "generators/conversion_host.h"

namespace veltrin {

// The +2 listings are independent of each other: each is derived on a thread of its own, so that a run uses every
// core. Whatever the user sees still happens on the thread that runs the command, in the order of the models: it
// waits for each derivation in turn, letting the window yield meanwhile, and only then shows the messages that the
// derivation had for it. A model after one that failed is never waited for, and its messages are never shown.
class ModelThreads {
  public:
    // What a thread does for one model: derives its listing, with a host that holds back its messages and that
    // ends the derivation with RunCancelled once the threads are stopped; true when the listing was derived.
    using Derivation = std::function<bool(std::size_t model, ConversionHost& host)>;

    ModelThreads(std::size_t models, const Derivation& derivation);
    ModelThreads(const ModelThreads&) = delete;
    ModelThreads& operator=(const ModelThreads&) = delete;
    // Stops every derivation still going at its next yield and waits for them all.
    ~ModelThreads();

    // Waits for the model's derivation, yielding to the view every few milliseconds, shows its messages through
    // the view and gives its result. An exception that ended the derivation is thrown again here.
    bool Finish(std::size_t model, ConversionHost& view);

  private:
    static constexpr std::chrono::milliseconds kYieldEvery{10};

    struct HeldMessage {
        std::string message;
        std::string title;
    };
    struct Outcome {
        std::promise<bool> derivation;
        std::future<bool> derived = derivation.get_future();
        std::vector<HeldMessage> messages;  // written by its thread until `derived` is ready
    };

    std::vector<std::unique_ptr<Outcome>> outcomes_;
    std::vector<std::jthread> threads_;  // after the outcomes, so that the threads end before their outcomes go
};

}  // namespace veltrin
