#include "library/library_services.h"

LibraryServices& LibraryServices::installed()
{
    static LibraryServices services;
    return services;
}
