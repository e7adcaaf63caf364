#pragma once

#include <cstddef>

// Resources compiled into the binary from res/ (see res/resources.txt).
struct EmbeddedResource {
    int id;
    const char* kind;
    const char* name;
    const unsigned char* data;
    size_t size;
};

extern const EmbeddedResource g_embeddedResources[];

// The resource of the given id and kind ("bitmap", "icon", "midi",
// "template"), or null.
const EmbeddedResource* FindEmbeddedResource(int id, const char* kind);
