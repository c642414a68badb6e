#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "support/file_edits.h"

namespace veltrin::testing_support {

// A fresh, empty folder named after the running test, removed when the test ends.
class TestFolder {
  public:
    TestFolder() : path_(std::filesystem::temp_directory_path() / FolderName()) {
        std::filesystem::create_directories(path_);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& Path() const { return path_; }
    // The names in the folder, so that a test can see that no temporary file was left behind.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(path_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    // "veltrin-", a random number and the test's name, so that two runs of the suite at once (from two checkouts)
    // never share a folder; the "/" of a parameterised test's name would make a nested folder.
    static std::string FolderName() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        auto name = "veltrin-" + std::to_string(std::random_device()()) + test->test_suite_name() + "-" + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        return name;
    }

    std::filesystem::path path_;
};

}  // namespace veltrin::testing_support
