#include "platform/core/Resources.h"

#include <cstring>

const EmbeddedResource* FindEmbeddedResource(int id, const char* kind)
{
    for (const EmbeddedResource* r = g_embeddedResources; r->kind; ++r) {
        if (r->id == id && std::strcmp(r->kind, kind) == 0)
            return r;
    }
    return nullptr;
}
