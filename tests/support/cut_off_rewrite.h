#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "files/listing_file_sink.h"
#include "files/listing_target.h"

namespace veltrin::testing_support {

// Leaves what a run killed while it rewrote the listing in place leaves: the listing half rewritten, and its backup.
// The listing is given a second name first, so that it is rewritten in place.
inline void CutOffRewrite(const std::filesystem::path& listing) {
    std::filesystem::create_hard_link(listing, listing.string() + ".link");
    const pid_t child = ::fork();
    if (child == 0) {  // ended at once, as by a kill: nothing is put back
        const Expected<ListingTarget> target = ListingTarget::Find(listing);
        const std::unique_ptr<ListingFileSink> sink = ListingFileSink::Open(*target, {});
        sink->Write(std::string(ListingFileSink::kPieceSize, ';'));
        ::_exit(target->InPlace() ? 0 : 1);
    }
    int status = 0;
    ASSERT_TRUE(::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace veltrin::testing_support
