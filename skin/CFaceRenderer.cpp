#include "skin/CFaceRenderer.h"

#include "platform/gdi/Gdi.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CSkinSlider.h"

CFaceRenderer::CFaceRenderer()
{
    m_dialog.CreateHeadless(240, 268);
    m_dialog.LoadSkins(129, 130, 131);
    CFaceLayout::CreateFonts(m_fontSmall, m_fontLarge);
    m_layout.Create(m_dialog, &m_fontSmall, &m_fontLarge);
    m_layout.m_pVolumeSlider->SetValue(1000);
}

BOOL CFaceRenderer::Render()
{
    if (!m_dialog.m_bmpNormal.m_hObject || !m_dialog.m_bmpPressed.m_hObject || !m_dialog.m_bmpMask.m_hObject)
        return FALSE;
    m_dialog.InvalidateRect(nullptr, TRUE);
    return UpdateWindow(m_dialog.m_hWnd);
}

const CPixelBuffer& CFaceRenderer::Pixels() const
{
    return m_dialog.m_hWnd->surface;
}
