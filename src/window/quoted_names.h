#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace veltrin {

// Whether a text may be cut at a position (in UTF-16 units) without splitting a character as it is shown: not
// inside a surrogate pair, nor before a combining mark. Each window asks its own toolkit.
using CharacterBoundary = std::function<bool(std::u16string_view text, std::size_t position)>;

// A message as a message box of the window shows it: each name quoted in it that is longer than 70 characters is
// cut in the middle to 70, its first 35 and its last 34 with an ellipsis between, so that the box keeps its
// ordinary width and still shows where the name starts and which file it ends in. The rest of the message, and a
// shorter name, stay as they are. Lengths are counted in UTF-16 units, as both toolkits count them; a cut that
// would split a character moves outwards to the nearest boundary. veltrin-cli prints names whole.
std::u16string ShortenQuotedNames(std::u16string_view message, const CharacterBoundary& isBoundary);

}  // namespace veltrin
