// The port list: the table behind it, its display lines, the simulator's link folder and
// the Windows device path rule.
#include "link/PortList.h"
#include "link/Protocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace vemo;
namespace fs = std::filesystem;

namespace {

TEST(PortList, TheTableHoldsTwoHundredPortsAndTheListShowsTheSame) {
    std::vector<PortInfo> ports;
    for (int i = 1; i <= 205; ++i)
        ports.push_back({"COM" + std::to_string(i), "Port " + std::to_string(i), "ACPI"});
    auto lines = FillPortTable(ports);
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(PortTable.Count(), 200u);
    EXPECT_EQ(lines[0], "COM1   Port 1   ACPI");
    EXPECT_EQ(PortTable.Name(199), "COM200");
    EXPECT_EQ(PortTable.Name(200), "");
    EXPECT_EQ(PortTable.Name(-1), "");

    // Filling again starts from an empty table.
    lines = FillPortTable({{"/dev/ttyUSB0", "/dev/ttyUSB0", ""}});
    EXPECT_EQ(PortTable.Count(), 1u);
    EXPECT_EQ(lines[0], "/dev/ttyUSB0   /dev/ttyUSB0   ");
}

TEST(PortList, ANameLongerThanTheTableHoldsIsCut) {
    FillPortTable({{std::string(250, 'p'), "long", ""}});
    EXPECT_EQ(PortTable.Name(0), std::string(199, 'p'));
}

TEST(PortList, OnlyNamesLongerThanFourCharactersGetTheDevicePrefix) {
    EXPECT_EQ(WithDevicePrefix("COM9"), "COM9");
    EXPECT_EQ(WithDevicePrefix("COM10"), "\\\\.\\COM10");
    EXPECT_EQ(WithDevicePrefix("COM1"), "COM1");
#ifndef _WIN32
    EXPECT_EQ(PortOpenPath("/dev/ttyUSB0"), "/dev/ttyUSB0");
#endif
}

class LinkFolder : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("vemo-links-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        device = folder.parent_path() / ("vemo-fake-tty-" + std::to_string(::getpid()));
        std::ofstream(device.string()) << "";
    }
    void TearDown() override {
        fs::remove_all(folder);
        fs::remove(device);
    }
    fs::path folder, device;
};

TEST_F(LinkFolder, EachLiveLinkIsASimulatedPort) {
    fs::create_symlink(device, folder / ("vemo-sim-" + std::to_string(::getpid())));
    auto ports = LinkedPorts(folder.string());
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].PortName, device.string());
    EXPECT_EQ(ports[0].FriendlyName, "Vemo module simulator");
    EXPECT_EQ(ports[0].Enumerator, "SIM");
    EXPECT_EQ(PortDisplayLine(ports[0]), device.string() + "   Vemo module simulator   SIM");
}

TEST_F(LinkFolder, LinksLeftBehindByAGoneSimulatorAreRemoved) {
    pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0); // now a process id nobody has
    auto dead = folder / ("vemo-sim-" + std::to_string(child));
    auto dangling = folder / ("vemo-sim-" + std::to_string(::getpid()));
    fs::create_symlink(device, dead);
    fs::create_symlink(folder / "no-such-pty", dangling);

    EXPECT_TRUE(LinkedPorts(folder.string()).empty());
    EXPECT_FALSE(fs::is_symlink(dead));
    EXPECT_FALSE(fs::is_symlink(dangling));
}

TEST_F(LinkFolder, AMissingFolderMeansNoSimulatedPorts) {
    EXPECT_TRUE(LinkedPorts((folder / "absent").string()).empty());
    EXPECT_TRUE(LinkedPorts("").empty());
}

TEST_F(LinkFolder, EnumerationListsTheSimulatorFirst) {
    fs::create_symlink(device, folder / ("vemo-sim-" + std::to_string(::getpid())));
    ::setenv("VEMO_PORT_LINKS", folder.c_str(), 1);
    auto ports = EnumeratePorts();
    ::unsetenv("VEMO_PORT_LINKS");
    ASSERT_FALSE(ports.empty());
    EXPECT_EQ(ports[0].PortName, device.string());
    EXPECT_EQ(ports[0].Enumerator, "SIM");
}

TEST(PortLinksFolderRule, TheVariableWinsThenTheRuntimeFolderThenHome) {
    const char* savedLinks = std::getenv("VEMO_PORT_LINKS");
    const char* savedRun = std::getenv("XDG_RUNTIME_DIR");
    const char* savedHome = std::getenv("HOME");
    std::string links = savedLinks ? savedLinks : "", run = savedRun ? savedRun : "",
                home = savedHome ? savedHome : "";

    ::setenv("VEMO_PORT_LINKS", "/tmp/my-links", 1);
    ::setenv("XDG_RUNTIME_DIR", "/run/user/7", 1);
    ::setenv("HOME", "/home/pat", 1);
    EXPECT_EQ(PortLinksFolder(), "/tmp/my-links");
    ::unsetenv("VEMO_PORT_LINKS");
    EXPECT_EQ(PortLinksFolder(), "/run/user/7/vemo-ports");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(PortLinksFolder(), "/home/pat/.local/state/vemo-ports");

    auto restore = [](const char* name, const char* saved, const std::string& value) {
        if (saved)
            ::setenv(name, value.c_str(), 1);
        else
            ::unsetenv(name);
    };
    restore("VEMO_PORT_LINKS", savedLinks, links);
    restore("XDG_RUNTIME_DIR", savedRun, run);
    restore("HOME", savedHome, home);
}

} // namespace
