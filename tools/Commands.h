#pragma once
// Subcommands of vemo-cli. Each returns the exit status: 0 success, 1 usage error, 2 when the
// file, the port or the module fails. Each is listed, with its one-line description and its
// options, in the command table of main.cpp.
#include <string>

int CmdPorts(int argc, char** argv); // vemo-cli ports
int CmdInfo(int argc, char** argv);  // vemo-cli info --port PATH [--speed BAUD]
// vemo-cli save OUT.csv IN.csv [IN.csv ...] [--set K]
int CmdSave(int argc, char** argv);

// vemo-cli download --port PATH [--speed BAUD] [--set N|all] [--out DIR]
int CmdDownload(int argc, char** argv);
// vemo-cli config --port PATH [--speed BAUD] [FIELD=VALUE ...]
int CmdConfig(int argc, char** argv);
// vemo-cli export IN.csv OUT.bmp|.jpg|.gif|.png|.svg|.pdf [--width IN] [--height IN] [--mono]
//                 [--logo] [--no-info] [--speed]
int CmdExport(int argc, char** argv);
// vemo-cli summary FILE.csv [FILE.csv ...] [--csv]
int CmdSummary(int argc, char** argv);
// vemo-cli import-sim SIM.csv OUT.csv [--unit feet|meters|yards]
int CmdImportSim(int argc, char** argv);
// vemo-cli flash --port PATH [--speed BAUD] [--blank] [--force] FILE.hex
int CmdFlash(int argc, char** argv);

// Prints the command's usage line from the command table to standard error and returns 1, the
// status of a usage error.
int UsageError(const char* command);
// The same after a line saying what was wrong: "vemo-cli export: --width: not a number: abc".
int UsageError(const char* command, const std::string& why);

// The fields "vemo-cli config" sets, one a line with its range and meaning, for its --help.
std::string ConfigFieldsHelp();
