// Registration of the module's compiled-in resources with the host.
#include "resources/velmresources.h"

#include <string_view>
#include <vector>

namespace {
HINSTANCE g_handle = nullptr;
}

HINSTANCE VelmRegisterResources(std::string* error) {
    if (g_handle) return g_handle;
    std::size_t count = 0;
    const VelmResourceBlob* blobs = VelmResourceBlobs(count);
    std::vector<ResourceFile> files;
    for (std::size_t i = 0; i < count; ++i)
        files.push_back(
            {blobs[i].name, std::string_view(reinterpret_cast<const char*>(blobs[i].bytes), blobs[i].size)});
    g_handle = zcuiRegisterResources("velmlt18", files, error);
    return g_handle;
}

HINSTANCE VelmResourceHandle() {
    return g_handle ? g_handle : VelmRegisterResources();
}

void VelmUnregisterResources() {
    zcuiUnregisterResources(g_handle);
    g_handle = nullptr;
}
