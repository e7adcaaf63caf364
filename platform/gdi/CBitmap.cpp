#include "platform/gdi/CBitmap.h"

#include "platform/gdi/CDC.h"

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

BOOL CBitmap::LoadBitmap(UINT id)
{
    return Attach(LoadBitmapResource(static_cast<int>(id)));
}

const CPixelBuffer* CBitmap::Pixels() const
{
    HBITMAP bitmap = GetBitmap();
    return bitmap ? &bitmap->pixels : nullptr;
}
