#pragma once

#include "platform/core/CObject.h"
#include "platform/gdi/Gdi.h"

// Owner of one GDI handle; the handle is deleted with the object.
class CGdiObject : public CObject {
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject { nullptr };

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    BOOL Attach(HGDIOBJ object);
    HGDIOBJ Detach();
    BOOL DeleteObject();
};
