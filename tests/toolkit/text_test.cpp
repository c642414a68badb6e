#include "toolkit/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/data_table.h"

namespace veltrin {
namespace {

TEST(MidSentenceTest, WordsAnErrorAsTheMiddleOfASentence) {
    for (const std::vector<std::string>& row : testing_support::ReadDataTable("error_texts.txt")) {
        EXPECT_EQ(MidSentence(testing_support::Unescaped(row.at(0))), row.at(1)) << row[0];
    }
}

}  // namespace
}  // namespace veltrin
