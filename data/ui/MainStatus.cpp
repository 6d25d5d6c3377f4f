#include "data/ui/MainStatus.h"

MainStatusPanels MainStatus;
