#include "platform/gdi/CGdiObject.h"

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object || m_hObject)
        return FALSE;
    m_hObject = object;
    object->wrapper = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    if (object && object->wrapper == this)
        object->wrapper = nullptr;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    // A handle still selected into a DC stays alive (and is lost), exactly as
    // the system refuses to delete it; the DC keeps valid pixels.
    HGDIOBJ object = Detach();
    return ::DeleteObject(object);
}
