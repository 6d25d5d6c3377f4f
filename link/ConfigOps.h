#pragma once
// The configuration commands as the Configure page and Connect use them: "Read Config",
// "Write Config", and the hooks the module commands call ("r" after Connect, "Reset
// Defaults", "Reset Module", "Calibrate"; the simulated block; the record time after
// "Download Info").
#include "link/ConfigTransfer.h"
#include "link/Protocol.h"

#include <functional>

namespace vemo {

// What the Configure page does when the block or the interval changed. Set by the page.
struct ConfigView {
    std::function<void()> ShowBlock;        // a block was read: every control from Config
    std::function<void()> ShowInterval;     // the four panels and "Total Record Time"
    std::function<void()> ShowBlankCaption; // the display option's caption (service dialog)
};
extern ConfigView ConfigDisplay;

// "Read Config": not-connected guard (with the Connect page brought to the front), then "r".
bool ReadConfigClick(ModuleContext& ctx);
// "r" without the guard: what Connect and the commands that change the block call.
bool ReadConfigNow(ModuleContext& ctx);
// "Write Config": guard, the page values into the block, then "c". Refused (with a message)
// until a block has been read from the module since Connect.
void WriteConfigClick(ModuleContext& ctx, ConfigForm& form);

// RecomputeInterval on the process-wide interval, then the page shows it.
void RecomputeShownInterval();

// Fills the module commands' hooks with the above.
void InstallConfigHooks();

} // namespace vemo
