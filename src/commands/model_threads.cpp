#include "commands/model_threads.h"

#include <string_view>
#include <utility>

namespace veltrin {

namespace {

constexpr std::string_view kConvertErrorTitle = "Convert Error";

}  // namespace

ModelThreads::ModelThreads(std::size_t models, const Derivation& derivation) {
    for (std::size_t model = 0; model < models; ++model) {
        std::packaged_task<std::optional<ScriptFailure>(std::stop_token)> derive(
            [derivation, model](std::stop_token stop) { return derivation(model, std::move(stop)); });
        derivations_.push_back(derive.get_future());
        threads_.emplace_back(std::move(derive));
    }
}

ModelThreads::~ModelThreads() {
    for (std::jthread& thread : threads_) {
        thread.request_stop();
    }
    threads_.clear();  // each joins its thread
}

bool ModelThreads::Finish(std::size_t model, CreateView& view) {
    std::future<std::optional<ScriptFailure>>& derivation = derivations_.at(model);
    view.Yield();
    while (derivation.wait_for(kYieldEvery) != std::future_status::ready) {
        view.Yield();
    }
    const std::optional<ScriptFailure> failure = derivation.get();
    if (failure && !failure->failedStep.empty()) {
        view.ShowMessage(failure->failedStep, kConvertErrorTitle);
    }
    return !failure;
}

}  // namespace veltrin
