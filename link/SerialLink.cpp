#include "link/SerialLink.h"
