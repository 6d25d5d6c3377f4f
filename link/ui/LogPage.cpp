#include "link/ui/LogPage.h"

LogPage::LogPage(QWidget* parent) : QWidget(parent) {
    setObjectName("LogPage");
}
