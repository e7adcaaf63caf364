#pragma once

#include "platform/gdi/CFont.h"

class CSkinDialog;
class CSkinSlider;
class CSkinMeter;
class CSkinText;
class CSkinLoopMarks;

// The player's face: the twenty-one controls of the artwork and the loop
// marks, in their painting and hit-testing order, and the two fonts they use. The pointers name the
// controls the program changes later; the dialog owns them all.
class CFaceLayout {
public:
    CSkinSlider* m_pVolumeSlider { nullptr };
    CSkinSlider* m_pPositionSlider { nullptr };
    CSkinMeter* m_pMeter { nullptr };
    CSkinText* m_pPositionTime { nullptr };
    CSkinText* m_pPositionBeat { nullptr };
    CSkinText* m_pLengthTime { nullptr };
    CSkinText* m_pLengthBeat { nullptr };
    CSkinText* m_pTempoText { nullptr };
    CSkinText* m_pTransposeText { nullptr };
    CSkinLoopMarks* m_pLoopMarks { nullptr };

    // The channel meters.
    static constexpr RECT kMeterRect { 10, 10, 200, 60 };
    // The tempo and transpose boxes, where the mouse wheel steps them.
    static constexpr RECT kTempoBox { 148, 128, 229, 188 };
    static constexpr RECT kTransposeBox { 148, 202, 229, 257 };

    // "Arial" bold with cell height 16, and weight 500 with cell height 26.
    static void CreateFonts(CFont& small, CFont& large);
    // Creates the controls on the dialog's skins with their start-up texts.
    void Create(CSkinDialog& dialog, CFont* small, CFont* large);
};
