#include "library/import/media_log.h"

Q_LOGGING_CATEGORY(lcMedia, "paneflow.media")
