// vemo-cli ports: one line per port, as the Port list shows it.
#include "link/PortList.h"
#include "tools/Commands.h"

#include <QCoreApplication>

#include <cstdio>

int CmdPorts(int argc, char** argv) {
    if (argc > 1) return UsageError("ports");
    QCoreApplication app(argc, argv);
    for (const vemo::PortInfo& port : vemo::EnumeratePorts())
        std::printf("%s\n", vemo::PortDisplayLine(port).c_str());
    return 0;
}
