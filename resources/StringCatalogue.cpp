#include "resources/StringCatalogue.h"

namespace {

const tagSTRINGCATALOGUE_ENTRY g_catalogue[] = {
#include "resources/StringCatalogue.inc"
};

}  // namespace

const tagSTRINGCATALOGUE_ENTRY* GetStringCatalogue(std::size_t* count) {
    if (count)
        *count = sizeof(g_catalogue) / sizeof(g_catalogue[0]);
    return g_catalogue;
}
