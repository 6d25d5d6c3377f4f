#pragma once
// Process start: the windows are made and the main window shown; an error on the way, like an
// error that escapes an event handler, reaches the user in a message box.
#include <exception>
#include <functional>

// A message box with caption "Vemo" and the error's own text.
void ShowException(const std::exception& e);

// Runs create (by default the seven windows) and shows the main window. An exception on the
// way is shown as the event handlers' exceptions are, the windows made so far are released,
// and the result is false: the program then ends with status 1.
bool StartWindows(const std::function<void()>& create = {});
