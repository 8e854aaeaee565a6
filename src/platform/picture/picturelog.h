#pragma once
#include <QLoggingCategory>

// The picture layer's one logging category, silent unless enabled with
// QT_LOGGING_RULES="tandeo.picture.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPicture)
