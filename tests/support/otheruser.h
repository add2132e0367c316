// Runs a check as a user other than root, in a child process: as root the child gives up its rights
// for those of "nobody" first, member of the given groups besides its own, so that file permissions
// apply to it as to any user. The check returns
// what it found wrong (empty when all is well); the result comes back to the test through a pipe.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace varno::testing {

constexpr uid_t kNobody = 65534;

inline std::string asOtherUser(const std::function<std::string()>& check,
                               const std::vector<gid_t>& groups = {}) {
  int channel[2];
  if (::pipe(channel) != 0) return "no pipe to the child";
  const pid_t child = ::fork();
  if (child < 0) return "cannot start a child process";
  if (child == 0) {
    ::close(channel[0]);
    std::string found;
    if (::geteuid() == 0 && (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(kNobody) != 0 ||
                             ::setuid(kNobody) != 0)) {
      found = "cannot give up root's rights for those of nobody";
    } else if (::geteuid() == 0) {
      found = "still root";
    } else {
      found = check();
    }
    if (!found.empty() && ::write(channel[1], found.data(), found.size()) < 0) ::_exit(2);
    ::_exit(found.empty() ? 0 : 1);
  }
  ::close(channel[1]);
  std::string found;
  char buffer[512];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) found.append(buffer, got);
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "the child ended abnormally: " + found;
  return found;
}

}  // namespace varno::testing
