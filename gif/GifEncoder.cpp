#include "gif/GifEncoder.h"
