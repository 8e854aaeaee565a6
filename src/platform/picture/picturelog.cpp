#include "platform/picture/picturelog.h"

Q_LOGGING_CATEGORY(lcPicture, "tandeo.picture", QtCriticalMsg)
