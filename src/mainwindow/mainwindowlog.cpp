#include "mainwindow/mainwindowlog.h"

Q_LOGGING_CATEGORY(lcMainWindow, "tandeo.mainwindow", QtWarningMsg)
