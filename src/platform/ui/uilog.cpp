#include "platform/ui/uilog.h"

Q_LOGGING_CATEGORY(lcUi, "tandeo.ui", QtWarningMsg)
