#include "app/app_services.h"

AppServices AppServices::standard()
{
    AppServices services;
    return services;
}
