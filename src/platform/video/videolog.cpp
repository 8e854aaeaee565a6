#include "platform/video/videolog.h"

Q_LOGGING_CATEGORY(lcVideo, "tandeo.video", QtCriticalMsg)
