#pragma once
// Runs a check as an ordinary user, for what depends on file permissions. Tests often run as
// root, whom permissions do not bind; then the check runs in a child process that has dropped
// to the "nobody" account.
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>

struct UnprivilegedUser {
    uid_t Uid;
    gid_t Gid;
    bool OwnProcess; // true: this process already runs as that user
};

// The account a check runs as: this process's own when it is not root, otherwise "nobody";
// nothing when this process is root and there is no such account.
inline std::optional<UnprivilegedUser> FindUnprivilegedUser() {
    if (geteuid() != 0) return UnprivilegedUser{geteuid(), getegid(), true};
    const passwd* nobody = getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0) return std::nullopt;
    return UnprivilegedUser{nobody->pw_uid, nobody->pw_gid, false};
}

// Runs check as user; true when it returned true.
inline bool RunAsUser(const UnprivilegedUser& user, const std::function<bool()>& check) {
    if (user.OwnProcess) return check();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const bool dropped = setgroups(0, nullptr) == 0 && setgid(user.Gid) == 0 &&
                             setuid(user.Uid) == 0 && geteuid() == user.Uid;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
