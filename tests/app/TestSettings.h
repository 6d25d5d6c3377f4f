#pragma once
// The test program keeps the settings in a temporary folder of its own (XDG_CONFIG_HOME, set
// before anything reads it), and every test starts as a first run.
#include "app/SettingsStore.h"

// Removes the settings file: the next start of the main window is a first run.
void ForgetSettings();
