#pragma once

// Puts the media-backed thumbnail maker and importer into the process-wide library services.
// Every process that runs a library store calls this once at start, after creating the application
// object and before creating the store. Media jobs are cancelled and waited for when the
// application's event loop ends.
namespace MediaServices {

void install();

} // namespace MediaServices
