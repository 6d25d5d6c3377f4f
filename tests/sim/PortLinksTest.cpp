// The links folder rule and the vemo-sim program that announces its port there.

#include "sim/PortLinks.h"
#include "PtyClient.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Sets or unsets an environment variable for one scope.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            ::setenv(name_, old_.c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(PortLinks, FolderFollowsTheEnvironmentInOrder) {
    EnvVar links("VEMO_PORT_LINKS", "/tmp/links-here");
    EnvVar runtime("XDG_RUNTIME_DIR", "/run/user/4242");
    EnvVar home("HOME", "/home/someone");
    EXPECT_EQ(vemosim::PortLinksFolder(), "/tmp/links-here");
    {
        EnvVar noLinks("VEMO_PORT_LINKS", nullptr);
        EXPECT_EQ(vemosim::PortLinksFolder(), "/run/user/4242/vemo-ports");
        EnvVar emptyRuntime("XDG_RUNTIME_DIR", "");
        EXPECT_EQ(vemosim::PortLinksFolder(), "/home/someone/.local/state/vemo-ports");
    }
    EXPECT_EQ(vemosim::PortLinkName(123), "vemo-sim-123");
}

std::string SimProgram() {
    char self[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    std::string dir(self, static_cast<size_t>(n));
    dir.resize(dir.rfind('/'));
    return dir + "/../sim/vemo-sim";
}

TEST(PortLinks, VemoSimPrintsItsPortAnnouncesItAndCleansUp) {
    const std::string program = SimProgram();
    struct stat st {};
    ASSERT_EQ(::stat(program.c_str(), &st), 0) << program << " is built beside the tests";

    char folderTemplate[] = "/tmp/vemo-links-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const std::string folder = std::string(folderTemplate) + "/nested/ports";
    EnvVar links("VEMO_PORT_LINKS", folder.c_str());

    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--unit"),
                    const_cast<char*>("meters"), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    std::string first;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n')
        first += c;
    ::close(out[0]);
    ASSERT_EQ(first.rfind("/dev/pts/", 0), 0u) << first;

    // The link is made right after the path is printed.
    const std::string link = folder + "/" + vemosim::PortLinkName(pid);
    char target[PATH_MAX] = {};
    ssize_t len = -1;
    for (int i = 0; i < 100 && len < 0; ++i) {
        len = ::readlink(link.c_str(), target, sizeof target - 1);
        if (len < 0) ::usleep(10000);
    }
    ASSERT_GT(len, 0);
    EXPECT_EQ(std::string(target, static_cast<size_t>(len)), first);

    {
        PtyClient port(link); // opened through the link, as the program will
        ASSERT_TRUE(port.IsOpen());
        port.Send("r");
        const auto block = port.Read(28, 1000);
        ASSERT_EQ(block.size(), 28u);
        EXPECT_EQ(block[4], 2); // meters
    }

    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0);
    ::rmdir(folder.c_str());
    ::rmdir((std::string(folderTemplate) + "/nested").c_str());
    ::rmdir(folderTemplate);
}

} // namespace
