#pragma once
// Makes chosen calls of the C library's file functions fail, so that a test can take the error paths that a
// healthy disk never takes. Only a test program that links system_call_faults.cpp has them.
#include <string>

namespace veltrin::testing_support {

// Arms the faults of a text such as "open 1 95, write 2 28": the first call of open from now on fails with error
// number 95, the second of write with 28. "new[]" stands for an array allocation, which throws std::bad_alloc, and
// "touch" for a read that finds its file changed since it was opened.
void ArmSystemCallFaults(const std::string& faults);

// Disarms them all; true when every armed fault struck.
bool DisarmSystemCallFaults();

}  // namespace veltrin::testing_support
