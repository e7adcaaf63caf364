#include "platform/ui/Icon.h"

#include "platform/core/Resources.h"

#include <map>
#include <memory>
#include <mutex>

HICON LoadIcon(HINSTANCE, UINT id)
{
    static std::mutex lock;
    static std::map<UINT, std::unique_ptr<HICON__>> icons;
    std::lock_guard<std::mutex> guard(lock);
    auto found = icons.find(id);
    if (found != icons.end())
        return found->second.get();
    const EmbeddedResource* resource = FindEmbeddedResource(static_cast<int>(id), "icon");
    if (!resource)
        return nullptr;
    auto icon = std::make_unique<HICON__>(HICON__ { static_cast<int>(id), resource->data, resource->size });
    HICON handle = icon.get();
    icons.emplace(id, std::move(icon));
    return handle;
}
