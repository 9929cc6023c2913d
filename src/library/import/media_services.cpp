#include "library/import/media_services.h"

#include "library/import/media_import.h"
#include "library/import/media_jobs.h"
#include "library/import/media_thumbnails.h"
#include "library/library_services.h"

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
