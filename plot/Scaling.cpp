#include "plot/Scaling.h"
