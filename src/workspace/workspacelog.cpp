#include "workspace/workspacelog.h"

Q_LOGGING_CATEGORY(lcWorkspace, "tandeo.workspace", QtWarningMsg)
