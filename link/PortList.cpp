#include "link/PortList.h"

#include "data/Text.h"
#include "sim/PortLinks.h"

#include <QSerialPortInfo>
#include <QtGlobal>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#ifndef Q_OS_WIN
#include <signal.h>
#include <unistd.h>
#endif

namespace vemo {

PortTableType PortTable;

std::string PortDisplayLine(const PortInfo& port) {
    return port.PortName + "   " + port.FriendlyName + "   " + port.Enumerator;
}

bool PortTableType::Add(const PortInfo& port) {
    if (names_.size() >= MaxPorts) return false;
    names_.push_back(CutText(port.PortName, MaxNameLength));
    return true;
}

std::string PortTableType::Name(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= names_.size()) return {};
    return names_[static_cast<std::size_t>(i)];
}

std::string PortLinksFolder() {
    return vemosim::PortLinksFolder();
}

namespace {

// A link named vemo-sim-<pid> belongs to a simulator process; true when that process has
// ended. Links named otherwise are kept as long as their target exists.
bool OwnerGone(const std::string& linkName) {
#ifndef Q_OS_WIN
    const std::string prefix = vemosim::PortLinkPrefix;
    if (linkName.rfind(prefix, 0) != 0) return false;
    const std::string digits = linkName.substr(prefix.size());
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return false;
    long pid = std::strtol(digits.c_str(), nullptr, 10);
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
#else
    (void)linkName;
    return false;
#endif
}

} // namespace

std::vector<PortInfo> LinkedPorts(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<PortInfo> ports;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return ports;
    std::vector<fs::path> links;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        if (entry.is_symlink(ec)) links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    for (const auto& link : links) {
        fs::path target = fs::read_symlink(link, ec);
        if (ec) continue;
        if (target.is_relative()) target = link.parent_path() / target;
        if (!fs::exists(target, ec) || OwnerGone(link.filename().string())) {
            fs::remove(link, ec); // a simulator that is gone left it behind
            continue;
        }
        ports.push_back({target.lexically_normal().string(), "Vemo module simulator", "SIM"});
    }
    return ports;
}

namespace {

PortInfo FromQt(const QSerialPortInfo& info) {
    PortInfo port;
    port.PortName = info.systemLocation().toStdString();
    port.FriendlyName =
        info.description().isEmpty() ? port.PortName : info.description().toStdString();
    if (info.hasVendorIdentifier())
        port.Enumerator = "USB";
    else
        port.Enumerator = info.manufacturer().toStdString();
    return port;
}

// Natural order, so ttyS2 comes before ttyS10 and COM2 before COM10.
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t i2 = i, j2 = j;
            while (i2 < a.size() && std::isdigit(static_cast<unsigned char>(a[i2])))
                ++i2;
            while (j2 < b.size() && std::isdigit(static_cast<unsigned char>(b[j2])))
                ++j2;
            std::string na = a.substr(i, i2 - i), nb = b.substr(j, j2 - j);
            na.erase(0, std::min(na.find_first_not_of('0'), na.size()));
            nb.erase(0, std::min(nb.find_first_not_of('0'), nb.size()));
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = i2;
            j = j2;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace

std::vector<PortInfo> EnumeratePorts() {
    std::vector<PortInfo> ports = LinkedPorts(PortLinksFolder());
    std::vector<PortInfo> system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        system.push_back(FromQt(info));
    std::stable_sort(system.begin(), system.end(), [](const PortInfo& a, const PortInfo& b) {
        return NaturalLess(a.PortName, b.PortName);
    });
    ports.insert(ports.end(), system.begin(), system.end());
    return ports;
}

std::vector<std::string> FillPortTable(const std::vector<PortInfo>& ports) {
    PortTable.Clear();
    std::vector<std::string> lines;
    for (const PortInfo& port : ports)
        if (PortTable.Add(port)) lines.push_back(PortDisplayLine(port));
    return lines;
}

} // namespace vemo
