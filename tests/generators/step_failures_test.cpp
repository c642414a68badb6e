#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "generators/model_listings.h"
#include "support/sample_listing.h"

namespace veltrin {
namespace {

using testing_support::IndexOfLineStartingWith;
using testing_support::RecordingHost;
using testing_support::SampleListing;
using testing_support::WithoutLineStartingWith;

using Generator = bool (*)(const SourceLines&, OutputLines&, ConversionHost&);

struct MissingLine {
    Generator generate;
    const char* lineStart;
    const char* message;
};

class ListingWithout : public testing::TestWithParam<MissingLine> {};

// A source without the line that a step looks for stops the script at that step, with the step's message once.
TEST_P(ListingWithout, StopsAtTheStepThatNeedsIt) {
    const SourceLines source = WithoutLineStartingWith(SampleListing(), GetParam().lineStart);
    OutputLines output{""};
    RecordingHost host;
    EXPECT_FALSE(GetParam().generate(source, output, host));
    EXPECT_THAT(host.messages,
                testing::ElementsAre(std::pair<std::string, std::string>("Convert Error", GetParam().message)));
}

INSTANTIATE_TEST_SUITE_P(
    English, ListingWithout,
    testing::Values(MissingLine{CreatePlus2Listing, "; Release Date", "Failed to copy until release label"},
                    MissingLine{CreatePlus2Listing, "L0561:", "Failed to copy until label L0561"},
                    MissingLine{CreatePlus2Listing, "L057D:", "Failed to find label L057D"},
                    MissingLine{CreatePlus2Listing, "L2744:", "Failed to copy until label L2744"},
                    MissingLine{CreatePlus2Listing, "L2754:", "Failed to copy until label L2754"},
                    MissingLine{CreatePlus2Listing, "L2784:", "Failed to copy until label L2784"},
                    MissingLine{CreatePlus2Listing, "L27EB:", "Failed to copy until label L27EB"},
                    MissingLine{CreatePlus2Listing, "L2816:", "Failed to copy until label L2816"},
                    MissingLine{CreatePlus2Listing, "L281C:", "Failed to find label L281C"},
                    MissingLine{CreatePlus2Listing, "L3852:", "Failed to copy until label L3852"},
                    MissingLine{CreatePlus2Listing, "L385A:", "Failed to find label L385A"},
                    MissingLine{CreatePlus2Listing, "L3BE9:", "Failed to copy until label L3BE9"},
                    MissingLine{CreatePlus2Listing, "L3C63:", "Failed to find label L3C63"},
                    MissingLine{CreatePlus2Listing, "L3FEF:", "Failed to copy until label L3FEF"},
                    MissingLine{CreatePlus2Listing, "; The two screens available on the Spectrum 128",
                                "Failed to copy until comment"}));

INSTANTIATE_TEST_SUITE_P(
    Translated, ListingWithout,
    testing::Values(MissingLine{CreateSpanishListing, "L275E:", "Failed to copy until label L275E"},
                    MissingLine{CreateSpanishListing, "L2790:", "Failed to find label L2790"},
                    MissingLine{CreateSpanishListing, "L27A0:", "Failed to copy until label L27A0"},
                    MissingLine{CreateSpanishListing, "L27CB:", "Failed to find label L27CB"},
                    MissingLine{CreateSpanishListing, "L27D2:", "Failed to copy until label L27D2"},
                    MissingLine{CreateSpanishListing, "L27EB:", "Failed to find label L27EB"},
                    MissingLine{CreateSpanishListing, "L2811:", "Failed to find label L2811"},
                    MissingLine{CreateFrenchListing, "L2790:", "Failed to find label L2790"},
                    MissingLine{CreateFrenchListing, "L3C63:", "Failed to find label L3C63"}));

// A source that ends inside a fixed-count copy, or before the first line a script reads, fails without a
// message of the script's own: only the create command reports it.
TEST(ListingScripts, ShortSourcesFailWithoutAMessage) {
    const SourceLines& sample = SampleListing();
    const auto cutAfter = [&sample](std::size_t index) {
        return SourceLines(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(index));
    };
    const std::size_t l3fef = IndexOfLineStartingWith(sample, "L3FEF:");
    const std::size_t release = IndexOfLineStartingWith(sample, "; Release Date");
    const std::vector<SourceLines> sources{
        {}, {"", "; title", "; title", "; title"}, cutAfter(l3fef + 10), cutAfter(release + 2)};
    for (const Generator generate : {CreatePlus2Listing, CreateSpanishListing, CreateFrenchListing}) {
        for (const SourceLines& source : sources) {
            OutputLines output{""};
            RecordingHost host;
            EXPECT_FALSE(generate(source, output, host)) << source.size();
            EXPECT_TRUE(host.messages.empty()) << source.size();
        }
    }
}

}  // namespace
}  // namespace veltrin
