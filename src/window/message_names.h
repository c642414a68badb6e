#pragma once

#include <QString>

namespace veltrin {

// A message as a message box of the window shows it: each name quoted in it that is longer than 70 characters is
// cut in the middle to 70, its first 35 and its last 34 with an ellipsis between, so that the box keeps its
// ordinary width and still shows where the name starts and which file it ends in. The rest of the message, and a
// shorter name, stay as they are. veltrin-cli prints names whole.
QString ShortenQuotedNames(const QString& message);

}  // namespace veltrin
