// Runs a check as a user other than root, in a child process: as root the child gives up its rights
// for those of "nobody" first, member of the given groups besides its own, so that file permissions
// apply to it as to any user. The check returns what it found wrong (empty when all is well), which the
// child writes to the test's error output; the answer is whether all was well.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace varno::testing {

constexpr uid_t kNobody = 65534;

inline bool asOtherUser(const std::function<std::string()>& check, const std::vector<gid_t>& groups = {}) {
  const pid_t child = ::fork();
  if (child == 0) {
    std::string found = "still root";
    if (::geteuid() == 0 && (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(kNobody) != 0 ||
                             ::setuid(kNobody) != 0)) {
      found = "cannot give up root's rights for those of nobody";
    } else if (::geteuid() != 0) {
      found = check();
    }
    if (!found.empty()) std::fprintf(stderr, "%s\n", found.c_str());
    ::_exit(found.empty() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace varno::testing
