#pragma once
// "Download Data" on the "Connect / Download" page: the transfer with the status bar's
// progress bar and window events let through after every sample.
#include "link/DownloadData.h"

class ConnectPage;

namespace vemo {

// Makes page's DLDataBtn download the set chosen in its SetList.
void InstallDownloadHandler(ConnectPage& page);

// The handler itself, for the set list item `selected`.
std::vector<SetResult> DownloadDataBtnClick(ModuleContext& ctx, int selected);

} // namespace vemo
