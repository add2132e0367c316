// Saving a file so that nothing the user had is lost, whatever goes wrong.
#pragma once

#include <string>

namespace varno {

// Writes `content` to `path`:
// - the content goes first to a new file in the target's folder that no other file can be mistaken
//   for (a file without a name where the system offers one, else a hidden name never longer than the
//   target's, created only if no file has it), and replaces the target only once it is complete, so
//   that a failure never leaves a half-written file in place of the one that was there;
// - a symbolic link is followed: the file it points to is replaced, and the link stays;
// - an existing file keeps its permissions, and one the user may not write is refused;
// - every failure is reported as false; no file-system error escapes as an exception.
bool saveFileSafely(const std::string& path, const std::string& content);

}  // namespace varno
