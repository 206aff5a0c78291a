// The resources the build compiled into the program from resources.txt.
#pragma once

namespace tesselor {

// Makes the compiled-in resources the ones the image library finds by id and
// type; called once at start-up.
void InstallCompiledResources();

}  // namespace tesselor
