#include "app/CPracticeDlg.h"

#include "platform/ui/CDataExchange.h"
#include "platform/ui/ControlMessages.h"

CPracticeDlg::CPracticeDlg(CWnd* parent)
    : CDialog(IDD, parent)
{
}

BOOL CPracticeDlg::OnInitDialog()
{
    SendDlgItemMessage(IDC_SOUND, CB_RESETCONTENT);
    for (int n = 0; n < CMetronomeSettings::SOUND_COUNT; ++n) {
        const CString title = CString::FromUtf8(CMetronomeSettings::SoundTitle(static_cast<CMetronomeSettings::Sound>(n)));
        SendDlgItemMessage(IDC_SOUND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.GetString()));
    }
    SendDlgItemMessage(IDC_COUNT_IN, CB_RESETCONTENT);
    for (const wchar_t* label : { L"Off", L"1 bar", L"2 bars" })
        SendDlgItemMessage(IDC_COUNT_IN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
    return CDialog::OnInitDialog();
}

void CPracticeDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_CBIndex(dx, IDC_SOUND, m_nSound);
    DDX_Text(dx, IDC_VOLUME, m_nVolume);
    DDV_MinMaxInt(dx, m_nVolume, CMetronomeSettings::MIN_VOLUME, CMetronomeSettings::MAX_VOLUME);
    DDX_Check(dx, IDC_EIGHTHS, m_nEighths);
    DDX_CBIndex(dx, IDC_COUNT_IN, m_nCountIn);
    DDX_Check(dx, IDC_EACH_PASS, m_nEachPass);
}

void CPracticeDlg::OnOK()
{
    // A failed read has shown its message; the dialog stays open.
    if (UpdateData(TRUE))
        CDialog::OnOK();
}

BOOL CPracticeDlg::Edit(CWnd* parent, CMetronomeSettings& metronome, CCountInSettings& countIn)
{
    CPracticeDlg dialog(parent);
    dialog.m_nSound = metronome.sound;
    dialog.m_nVolume = metronome.volume;
    dialog.m_nEighths = metronome.compoundEighths ? BST_CHECKED : BST_UNCHECKED;
    dialog.m_nCountIn = countIn.bars;
    dialog.m_nEachPass = countIn.beforeEachPass ? BST_CHECKED : BST_UNCHECKED;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (dialog.m_nSound >= 0 && dialog.m_nSound < CMetronomeSettings::SOUND_COUNT)
        metronome.sound = static_cast<CMetronomeSettings::Sound>(dialog.m_nSound);
    metronome.volume = dialog.m_nVolume;
    metronome.compoundEighths = dialog.m_nEighths == BST_CHECKED;
    if (dialog.m_nCountIn >= 0 && dialog.m_nCountIn <= CCountInSettings::MAX_BARS)
        countIn.bars = dialog.m_nCountIn;
    countIn.beforeEachPass = dialog.m_nEachPass == BST_CHECKED;
    return TRUE;
}
