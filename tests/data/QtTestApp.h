#pragma once
// One QApplication for the widget tests of this executable, made on first use and destroyed
// after the last test (a static QApplication would outlive the toolkit's own globals).
void EnsureQtApp();
