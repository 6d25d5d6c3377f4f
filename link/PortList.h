#pragma once
// The serial ports present on the machine, as the "Port" list shows them.
#include <string>
#include <vector>

namespace vemo {

struct PortInfo {
    std::string PortName;     // what is opened: the system location (/dev/ttyUSB0, COM3)
    std::string FriendlyName; // the device's description, or PortName when it has none
    std::string Enumerator;   // the bus or maker where known ("USB", "SIM"), else empty
};

// "PortName   FriendlyName   Enumerator", as the Port list shows a port.
std::string PortDisplayLine(const PortInfo& port);

// The table behind the Port list: entry i is the PortName of item i.
class PortTableType {
public:
    static constexpr std::size_t MaxPorts = 200;
    static constexpr std::size_t MaxNameLength = 199;

    void Clear() { names_.clear(); }
    // Adds a port unless the table is full; false when it was not added.
    bool Add(const PortInfo& port);
    std::size_t Count() const { return names_.size(); }
    // The name of entry i, empty when i is outside the table.
    std::string Name(int i) const;

private:
    std::vector<std::string> names_;
};

extern PortTableType PortTable;

// Every port: the simulator's links first, then the system's serial ports, in a stable
// order.
std::vector<PortInfo> EnumeratePorts();

// The folder where simulators announce their ports, by the rule they use themselves
// (sim/PortLinks.h): $VEMO_PORT_LINKS, else $XDG_RUNTIME_DIR/vemo-ports, else
// $HOME/.local/state/vemo-ports; empty when none of these is known.
std::string PortLinksFolder();
// The ports behind the links in folder: each link whose target exists, in name order.
// Links whose target is gone, or whose vemo-sim-<pid> process has ended, are removed.
std::vector<PortInfo> LinkedPorts(const std::string& folder);

// Empties PortTable and fills it from ports; returns the display lines of the entries added
// (at most PortTableType::MaxPorts).
std::vector<std::string> FillPortTable(const std::vector<PortInfo>& ports);

} // namespace vemo
