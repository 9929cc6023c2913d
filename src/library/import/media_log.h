#pragma once

#include <QLoggingCategory>

// Library media work: inspection, thumbnails, import and conversion. Messages carry the
// "Paneflow: " prefix of the live-wallpaper side.
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
