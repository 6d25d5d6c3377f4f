#include "plot/PrintSettings.h"

namespace vemo {
PrintSettings Prt;
} // namespace vemo
