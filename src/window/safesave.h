// Saving a file so that nothing the user had is lost, whatever goes wrong.
#pragma once

#include <functional>
#include <string>

namespace varno {

// The steps of a save, named so that a test can make each of them fail.
enum class SaveStep {
  Create,   // making the new file
  Write,    // writing the content and flushing it to the disk
  Owner,    // giving the new file the owner and group of the old one
  Mode,     // giving it the old one's permissions
  Name,     // giving a file without a name a name
  Replace,  // putting it in the old one's place
};

// What a save may use of the system; the defaults are the system's own. Tests take with them the paths
// a machine never takes.
struct SaveOptions {
  // False: as on a file system without files that have no name (O_TMPFILE), a hidden file with a name.
  bool unnamedFiles = true;
  // A step for which this says true fails as on a full disk: writing stops half-way, any other step
  // fails before it is made.
  std::function<bool(SaveStep)> failing;
};

// Writes `content` to `path`:
// - the content goes first to a new file in the target's folder that no other file can be mistaken
//   for (a file without a name where the system offers one, else a hidden name never longer than the
//   target's, created only if no file has it), and replaces the target only once it is complete, so
//   that a failure never leaves a half-written file in place of the one that was there, nor anything
//   else in the folder;
// - a symbolic link is followed: the file it points to is replaced, and the link stays;
// - an existing file keeps its permissions, its owner and its group, so that the same people can read
//   it as before; a file the user may not write, or whose owner or group the user may not give the
//   new file (another user's file, a group the user is not a member of), is refused;
// - a file with more than one name (a hard link) is refused: replacing it would leave its other names
//   with the old content, and writing into it in place could leave it half-written;
// - every failure is reported as false; no file-system error escapes as an exception.
bool saveFileSafely(const std::string& path, const std::string& content, const SaveOptions& options = {});

}  // namespace varno
