#include "library/media/media_log.h"

Q_LOGGING_CATEGORY(lcMedia, "paneflow.media")
