#include "library/media/media_services.h"

#include "library/library_services.h"
#include "library/media/media_import.h"
#include "library/media/media_jobs.h"
#include "library/media/media_thumbnails.h"

namespace MediaServices {

void install()
{
    LibraryServices& services = LibraryServices::installed();
    services.thumbnails = std::make_shared<MediaThumbnails>();
    services.importer = std::make_shared<MediaImporter>();
    // Made now, so its jobs are tied to this application's end from the start.
    MediaJobs::pool();
}

} // namespace MediaServices
