#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "files/listing_file_sink.h"
#include "files/listing_target.h"

namespace veltrin::testing_support {

// Runs the action in a child process, as nobody if asked; true when it succeeded there. The child ends without
// undoing anything, as a killed process would.
inline bool InChildProcess(const std::function<bool()>& action, bool asNobody = false) {
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool become =
            !asNobody || (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
        ::_exit(become && action() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Leaves what a run killed while it rewrote the listing in place leaves: the listing half rewritten, and its backup.
// The listing gets a second name first, so that it is rewritten in place.
inline void CutOffRewrite(const std::filesystem::path& listing) {
    std::filesystem::create_hard_link(listing, listing.string() + ".link");
    EXPECT_TRUE(InChildProcess([&]() -> bool {
        const Expected<ListingTarget> target = ListingTarget::Find(listing);
        const std::unique_ptr<ListingFileSink> sink = ListingFileSink::Open(*target, {});
        sink->Write(std::string(ListingFileSink::kPieceSize, ';'));
        ::_exit(target->InPlace() ? 0 : 1);  // at once, as by a kill: the sink puts nothing back
    }));
}

}  // namespace veltrin::testing_support
