#pragma once

#include <string>
#include <string_view>

namespace veltrin {

// Inside a catch block: the message for a command that the error being handled stopped, naming what the command
// was doing: "The run stopped on an unexpected error while loading ...: not enough memory.".
std::string UnexpectedErrorMessage(std::string_view command, std::string_view doing);

}  // namespace veltrin
