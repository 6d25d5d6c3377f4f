#pragma once
// Files named on the command line (or passed by the desktop when the user opens them with
// the program) are loaded when the start-up page gives way, each as "Load" loads a file; the
// Recorded Data page then shows them, auto-ranged on both axes.
#include <QStringList>

class TMainForm;

void LoadFilesAfterStart(TMainForm& form, const QStringList& files);
