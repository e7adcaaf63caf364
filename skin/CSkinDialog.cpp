#include "skin/CSkinDialog.h"

#include "platform/gdi/CClientDC.h"
#include "platform/gdi/CPaintDC.h"
#include "platform/ui/WindowHandle.h"
#include "skin/CSkinButton.h"
#include "skin/CSkinBadge.h"
#include "skin/CSkinLoopMarks.h"
#include "skin/CSkinMeter.h"
#include "skin/CSkinSlider.h"
#include "skin/CSkinText.h"

#include <vector>

CSkinDialog::~CSkinDialog()
{
    m_pCaptured = nullptr;
    CRing::Clear(m_pControls);
}

void CSkinDialog::LoadSkins(UINT normal, UINT pressed, UINT mask)
{
    m_bmpNormal.LoadBitmap(normal);
    m_bmpPressed.LoadBitmap(pressed);
    m_bmpMask.LoadBitmap(mask);
    RECT client;
    GetClientRect(&client);
    CClientDC dc(this);
    m_bmpComposite.CreateCompatibleBitmap(&dc, client.right - client.left, client.bottom - client.top);
    m_bmpWork.CreateCompatibleBitmap(&dc, client.right - client.left, client.bottom - client.top);
}

void CSkinDialog::Append(CSkinControl* control)
{
    control->m_pParent = this;
    CRing::Append(m_pControls, control);
}

CSkinButton* CSkinDialog::AddButton(UINT id, CBitmap* normal, CBitmap* pressed, CBitmap* mask, RECT rect)
{
    auto* button = new CSkinButton;
    button->m_nId = id;
    button->m_pNormal = normal;
    button->m_pPressed = pressed;
    button->m_pMask = mask;
    button->m_rect = rect;
    Append(button);
    return button;
}

CSkinText* CSkinDialog::AddText(CString text, CFont* font, COLORREF colour, UINT format, CBitmap* background,
    RECT rect)
{
    auto* field = new CSkinText;
    field->m_pFont = font;
    field->m_pBackground = background;
    field->m_rect = rect;
    field->SetText(text);
    field->m_color = colour;
    field->m_nFormat = format;
    Append(field);
    return field;
}

CSkinSlider* CSkinDialog::AddSlider(UINT id, POINT start, POINT end, POINT anchor, CBitmap* normal,
    CBitmap* pressed, CBitmap* mask, RECT thumb)
{
    auto* slider = new CSkinSlider;
    slider->m_nId = id;
    slider->m_start = start;
    slider->m_end = end;
    slider->m_anchor = anchor;
    slider->m_pNormal = normal;
    slider->m_pPressed = pressed;
    slider->m_pMask = mask;
    slider->m_thumb = thumb;
    slider->m_pWork = &m_bmpWork;
    slider->SetValue(0);
    Append(slider);
    return slider;
}

CSkinLoopMarks* CSkinDialog::AddLoopMarks(RECT rect)
{
    auto* marks = new CSkinLoopMarks;
    marks->m_pNormal = &m_bmpNormal;
    marks->m_rect = rect;
    Append(marks);
    return marks;
}

CSkinBadge* CSkinDialog::AddBadge(RECT rect, CFont* font)
{
    auto* badge = new CSkinBadge;
    badge->m_pNormal = &m_bmpNormal;
    badge->m_pFont = font;
    badge->m_rect = rect;
    Append(badge);
    return badge;
}

CSkinMeter* CSkinDialog::AddMeter(int bars, RECT rect)
{
    auto* meter = new CSkinMeter;
    meter->SetBarCount(bars);
    meter->SetRect(rect);
    Append(meter);
    return meter;
}

void CSkinDialog::RedrawControls(CDC* target, BOOL all)
{
    RECT client;
    GetClientRect(&client);
    const int width = client.right;
    const int height = client.bottom;

    CDC& composite = m_composeDC;
    CDC& work = m_workDC;
    CDC& skin = m_skinDC;
    for (CDC* dc : { &composite, &work, &skin }) {
        if (!dc->GetSafeHdc())
            dc->CreateCompatibleDC(target);
    }
    CBitmap* oldComposite = composite.SelectObject(&m_bmpComposite);
    CBitmap* oldWork = work.SelectObject(&m_bmpWork);
    CBitmap* oldSkin = skin.SelectObject(&m_bmpNormal);

    // Only the part the controls to draw may change is composed and copied
    // back, so the window repaints no more than that.
    RECT area { 0, 0, width, height };
    // Each control's own part is copied back on its own: two readouts far
    // apart do not repaint the face between them.
    std::vector<RECT> parts;
    if (!all) {
        area = RECT { 0, 0, 0, 0 };
        CRing::ForEach(m_pControls, [&](CSkinControl* control) {
            if (control->m_bDirty) {
                parts.push_back(control->DrawArea());
                UnionRect(&area, &area, &parts.back());
            }
        });
    } else {
        parts.push_back(area);
    }
    const int areaWidth = area.right - area.left;
    const int areaHeight = area.bottom - area.top;
    if (areaWidth > 0 && areaHeight > 0) {
        composite.BitBlt(area.left, area.top, areaWidth, areaHeight, target, area.left, area.top, SRCCOPY);
        CRing::ForEach(m_pControls, [&](CSkinControl* control) {
            if (all || control->m_bDirty)
                control->Draw(&composite, &work, &skin);
        });
        for (const RECT& part : parts) {
            target->BitBlt(part.left, part.top, part.right - part.left, part.bottom - part.top, &composite, part.left,
                part.top, SRCCOPY);
        }
    }

    if (oldComposite)
        composite.SelectObject(oldComposite);
    if (oldWork)
        work.SelectObject(oldWork);
    if (oldSkin)
        skin.SelectObject(oldSkin);
}

BOOL CSkinDialog::OnEraseBkgnd(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmpNormal);
    dc->BitBlt(0, 0, client.right, client.bottom, &memory, 0, 0, SRCCOPY);
    if (old)
        memory.SelectObject(old);
    return TRUE;
}

void CSkinDialog::OnPaint()
{
    CPaintDC dc(this);
    RedrawControls(&dc, TRUE);
}

void CSkinDialog::OnLButtonDown(UINT flags, int x, int y)
{
    if (m_pCaptured)
        return;
    CClientDC dc(this);
    CDC probe;
    probe.CreateCompatibleDC(&dc);
    CSkinControl* taker = nullptr;
    if (m_pControls) {
        CSkinControl* control = m_pControls;
        do {
            if (control->OnStylusDown(flags, x, y, &probe)) {
                taker = control;
                break;
            }
            control = control->m_next;
        } while (control != m_pControls);
    }
    probe.DeleteDC();
    m_pCaptured = taker;
    if (taker && taker->m_kind == SKIN_BUTTON) {
        auto* button = static_cast<CSkinButton*>(taker);
        if (!button->m_bPressed) {
            button->m_bPressed = TRUE;
            button->m_bDirty = TRUE;
        }
        if (button->m_bDirty)
            RedrawControls(&dc, FALSE);
        SetCapture();
    } else if (taker && taker->m_bDirty) {
        // A slider whose thumb jumped to the stylus shows it there at once.
        RedrawControls(&dc, FALSE);
    }
}

void CSkinDialog::OfferToCaptured(StylusOperation operation, UINT flags, int x, int y)
{
    CClientDC dc(this);
    CDC probe;
    probe.CreateCompatibleDC(&dc);
    const BOOL redraw = (m_pCaptured->*operation)(flags, x, y, &probe);
    probe.DeleteDC();
    if (redraw)
        RedrawControls(&dc, FALSE);
}

void CSkinDialog::OnLButtonUp(UINT flags, int x, int y)
{
    if (!m_pCaptured)
        return;
    OfferToCaptured(&CSkinControl::OnStylusUp, flags, x, y);
    m_pCaptured = nullptr;
    ::ReleaseCapture();
}

void CSkinDialog::OnMouseMove(UINT flags, int x, int y)
{
    if (m_pCaptured)
        OfferToCaptured(&CSkinControl::OnStylusMove, flags, x, y);
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const UINT flags = static_cast<UINT>(wParam);
    const int x = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    const int y = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
    switch (message) {
    case WM_ERASEBKGND: {
        CDC dc;
        if (!dc.Attach(reinterpret_cast<HDC>(wParam)))
            return FALSE;
        const BOOL done = OnEraseBkgnd(&dc);
        dc.Detach();
        return done;
    }
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, x, y);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, x, y);
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, x, y);
        break;
    case WM_TIMER:
        // A held step button repeats; a timer of a button no longer held
        // has nothing to do.
        if (m_pCaptured && m_pCaptured->m_kind == SKIN_BUTTON
            && static_cast<CSkinButton*>(m_pCaptured)->m_nId == wParam)
            static_cast<CSkinButton*>(m_pCaptured)->OnRepeatTimer();
        break;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
