#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "files/listing_file_sink.h"

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
    EXPECT_TRUE(InChildProcess([&] {
        const Expected<ListingTarget> target = ListingTarget::Find(listing);
        ListingFileSink::Open(*target, {}).release()->Write(std::string(ListingFileSink::kPieceSize, ';'));
        return target->InPlace();  // the sink is never ended, as by a kill: it puts nothing back
    }));
}

}  // namespace veltrin::testing_support
