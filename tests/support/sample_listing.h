#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/listing_file.h"
#include "toolkit/conversion_host.h"
#include "toolkit/listing_lines.h"

namespace veltrin::testing_support {

// The bundled 128 listing, read once per test binary.
inline const SourceLines& SampleListing() {
    static const SourceLines lines = [] {
        SourceLines loaded;
        if (!LoadListing(VELTRIN_SAMPLE_LISTING, loaded)) {
            throw std::runtime_error("cannot read the sample listing");
        }
        return loaded;
    }();
    return lines;
}

// Remembers the messages that a conversion shows and counts its yields.
class RecordingHost : public ConversionHost {
  public:
    std::vector<std::pair<std::string, std::string>> messages;  // title, text
    int yields = 0;

    void Yield() override { ++yields; }
    void ShowMessage(std::string_view message, std::string_view title) override {
        messages.emplace_back(std::string(title), std::string(message));
    }
};

// The index of the line that starts with the text, or 0 when there is none.
inline std::size_t IndexOfLineStartingWith(const ListingLines& lines, std::string_view start) {
    for (std::size_t index = 1; index < lines.size(); ++index) {
        if (lines[index].starts_with(start)) {
            return index;
        }
    }
    return 0;
}

// The listing without the line that starts with the text.
inline SourceLines WithoutLineStartingWith(const SourceLines& lines, std::string_view start) {
    SourceLines result = lines;
    const std::size_t index = IndexOfLineStartingWith(lines, start);
    if (index == 0) {
        throw std::runtime_error("no line starts with " + std::string(start));
    }
    result.erase(result.begin() + static_cast<std::ptrdiff_t>(index));
    return result;
}

}  // namespace veltrin::testing_support
