#pragma once
// The settings module's logging category, "tandeo.settings": silent unless
// debug output is switched on with QT_LOGGING_RULES.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSettings)
