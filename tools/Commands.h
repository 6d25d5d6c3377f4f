#pragma once
// Subcommands of vemo-cli. Each returns the exit status: 0 success, 1 usage error, 2 when the
// file, the port or the module fails.

int CmdPorts(int argc, char** argv); // vemo-cli ports
int CmdInfo(int argc, char** argv);  // vemo-cli info --port PATH [--speed BAUD]
