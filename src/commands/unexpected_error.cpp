#include "commands/unexpected_error.h"

#include <exception>
#include <new>

namespace veltrin {

namespace {

// What the error being handled says, as the end of a sentence.
std::string HandledError() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "of an unknown kind";
    }
}

}  // namespace

std::string UnexpectedErrorMessage(std::string_view command, std::string_view doing) {
    return "The " + std::string(command) + " stopped on an unexpected error while " + std::string(doing) + ": " +
           HandledError() + ".";
}

}  // namespace veltrin
