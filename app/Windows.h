#pragma once
// Process start: the seven windows, created in order, each reachable through its global.
void CreateWindows();
// Releases them again (tests; the process end does the same).
void DestroyWindows();
