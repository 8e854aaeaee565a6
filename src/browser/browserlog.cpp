#include "browser/browserlog.h"

Q_LOGGING_CATEGORY(lcBrowser, "tandeo.browser", QtWarningMsg)
