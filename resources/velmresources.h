// The module's resources: the string table, dialog templates, menus and
// bitmaps of this folder, compiled into the module at build time and
// registered with the host as the module's resource handle.  Code that shows
// a dialog or loads a string makes the handle current around the use:
//     CZcModuleResourceOverride use(VelmResourceHandle());
#pragma once

#include <cstddef>

#include "host/ui/resources.h"

struct VelmResourceBlob {
    const char* name;  // path relative to resources/
    const unsigned char* bytes;
    std::size_t size;
};

// The compiled-in files (generated source).
const VelmResourceBlob* VelmResourceBlobs(std::size_t& count);

// Registers the resources with the host once (at start-up) and gives the
// handle; null when they cannot be read, with the reason in *error.
HINSTANCE VelmRegisterResources(std::string* error = nullptr);
// The registered handle (registering on first use).
HINSTANCE VelmResourceHandle();
// Gives the handle back to the host (at unload).
void VelmUnregisterResources();
