#pragma once
#include <QLoggingCategory>

// The video layer's one logging category, silent unless enabled with
// QT_LOGGING_RULES="tandeo.video.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcVideo)
