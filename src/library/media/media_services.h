#pragma once

// Puts the media-backed thumbnail maker and importer into the process-wide library services.
// Every process that runs a library store calls this once at start, before creating the store.
namespace MediaServices {

void install();

} // namespace MediaServices
