#include "link/ui/ConnectPage.h"

ConnectPage::ConnectPage(QWidget* parent) : QWidget(parent) { setObjectName("ConnectPage"); }
