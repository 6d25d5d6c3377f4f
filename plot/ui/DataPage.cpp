#include "plot/ui/DataPage.h"

DataPage::DataPage(QWidget* parent) : QWidget(parent) { setObjectName("DataPage"); }
