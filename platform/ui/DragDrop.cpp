#include "platform/ui/DragDrop.h"

#include "platform/ui/CWindowBackend.h"
#include "platform/ui/WindowHandle.h"

#include <cwchar>

struct HDROP__ {
    std::vector<CString> files;
};

void DragAcceptFiles(HWND hwnd, BOOL accept)
{
    if (IsWindow(hwnd) && hwnd->backend)
        hwnd->backend->AcceptFiles(accept != FALSE);
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT size)
{
    if (!drop)
        return 0;
    if (index == 0xFFFFFFFFu)
        return static_cast<UINT>(drop->files.size());
    if (index >= drop->files.size())
        return 0;
    const CString& path = drop->files[index];
    const UINT length = static_cast<UINT>(path.GetLength());
    if (!file)
        return length;
    if (size == 0)
        return 0;
    const UINT copied = length < size - 1 ? length : size - 1;
    std::wmemcpy(file, path.GetString(), copied);
    file[copied] = 0;
    return copied;
}

void DragFinish(HDROP drop)
{
    delete drop;
}

HDROP CreateDropFiles(const std::vector<CString>& files)
{
    return new HDROP__ { files };
}
