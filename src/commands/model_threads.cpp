#include "commands/model_threads.h"

#include <exception>
#include <stop_token>
#include <string_view>
#include <utility>

namespace veltrin {

namespace {

// A derivation's host on its thread: it keeps the messages for the command's thread to show, and a yield only
// tells whether the derivation is to stop.
class HoldingHost final : public ConversionHost {
  public:
    HoldingHost(std::stop_token stop, std::function<void(std::string_view, std::string_view)> hold)
        : stop_(std::move(stop)), hold_(std::move(hold)) {}

    void Yield() override {
        if (stop_.stop_requested()) {
            throw RunCancelled{};
        }
    }
    void ShowMessage(std::string_view message, std::string_view title) override { hold_(message, title); }

  private:
    std::stop_token stop_;
    std::function<void(std::string_view, std::string_view)> hold_;
};

}  // namespace

ModelThreads::ModelThreads(std::size_t models, const Derivation& derivation) {
    for (std::size_t model = 0; model < models; ++model) {
        outcomes_.push_back(std::make_unique<Outcome>());
    }
    for (std::size_t model = 0; model < models; ++model) {
        Outcome& outcome = *outcomes_[model];
        threads_.emplace_back([&outcome, derivation, model](const std::stop_token& stop) {
            HoldingHost host(stop, [&outcome](std::string_view message, std::string_view title) {
                outcome.messages.push_back({std::string(message), std::string(title)});
            });
            try {
                outcome.derivation.set_value(derivation(model, host));
            } catch (...) {
                outcome.derivation.set_exception(std::current_exception());
            }
        });
    }
}

ModelThreads::~ModelThreads() {
    for (std::jthread& thread : threads_) {
        thread.request_stop();
    }
    threads_.clear();  // each joins its thread
}

bool ModelThreads::Finish(std::size_t model, ConversionHost& view) {
    Outcome& outcome = *outcomes_.at(model);
    view.Yield();
    while (outcome.derived.wait_for(kYieldEvery) != std::future_status::ready) {
        view.Yield();
    }
    for (const HeldMessage& held : outcome.messages) {
        view.ShowMessage(held.message, held.title);
    }
    return outcome.derived.get();
}

}  // namespace veltrin
