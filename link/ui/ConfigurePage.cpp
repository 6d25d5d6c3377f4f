#include "link/ui/ConfigurePage.h"

ConfigurePage::ConfigurePage(QWidget* parent) : QWidget(parent) { setObjectName("ConfigurePage"); }
