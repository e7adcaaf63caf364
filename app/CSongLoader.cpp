#include "app/CSongLoader.h"

#include "platform/core/CHandleTable.h"
#include "platform/core/Thread.h"
#include "platform/ui/WindowHandle.h"
#include "song/CSongFile.h"

#include <mutex>
#include <optional>

class CSongLoader::CShared {
public:
    struct Request {
        HWND window;
        CString path;
        CString name;
        LONGLONG smpteOffset;
    };

    std::mutex m_lock;
    // Guarded by m_lock: whether the thread runs, the open that waits for
    // it, and the read that waits to be taken.
    bool m_running { false };
    std::optional<Request> m_queued;
    std::unique_ptr<CSongFile> m_result;
    CString m_resultPath;
    CString m_resultName;
};

CSongLoader::CSongLoader()
    : m_shared(std::make_shared<CShared>())
{
}

CSongLoader::~CSongLoader() = default;

BOOL CSongLoader::Begin(HWND window, const CString& path, const CString& name, LONGLONG smpteOffset)
{
    std::lock_guard<std::mutex> guard(m_shared->m_lock);
    m_shared->m_queued = CShared::Request { window, path, name, smpteOffset };
    if (m_shared->m_running)
        return TRUE;
    auto* hold = new std::shared_ptr<CShared>(m_shared);
    HANDLE thread = CreateThread(nullptr, 0, &CSongLoader::ReadThreadProc, hold, 0, nullptr);
    if (!thread) {
        delete hold;
        m_shared->m_queued.reset();
        return FALSE;
    }
    CloseHandle(thread);
    m_shared->m_running = true;
    return TRUE;
}

DWORD CSongLoader::ReadThreadProc(LPVOID param)
{
    const std::shared_ptr<CShared> shared = *static_cast<std::shared_ptr<CShared>*>(param);
    delete static_cast<std::shared_ptr<CShared>*>(param);
    for (;;) {
        CShared::Request request;
        {
            std::lock_guard<std::mutex> guard(shared->m_lock);
            if (!shared->m_queued) {
                shared->m_running = false;
                return 0;
            }
            request = std::move(*shared->m_queued);
            shared->m_queued.reset();
        }
        auto file = std::make_unique<CSongFile>(request.smpteOffset);
        file->Load(request.path);
        {
            std::lock_guard<std::mutex> guard(shared->m_lock);
            // A newer open replaces this read; it is freed outside the lock.
            if (shared->m_queued)
                continue;
            std::swap(shared->m_result, file);
            shared->m_resultPath = request.path;
            shared->m_resultName = request.name;
            // Done before the notice goes: the window may take the read at
            // once, and must find no read running then (a failed one gives
            // the title back only when nothing else is being read).
            shared->m_running = false;
        }
        PostMessageW(request.window, WM_COMMAND, MAKEWPARAM(LOADED, 0), reinterpret_cast<LPARAM>(request.window));
        return 0;
    }
}

BOOL CSongLoader::Take(std::unique_ptr<CSongFile>& file, CString& path, CString& name)
{
    std::lock_guard<std::mutex> guard(m_shared->m_lock);
    if (!m_shared->m_result)
        return FALSE;
    file = std::move(m_shared->m_result);
    path = m_shared->m_resultPath;
    name = m_shared->m_resultName;
    return TRUE;
}

BOOL CSongLoader::Reading() const
{
    std::lock_guard<std::mutex> guard(m_shared->m_lock);
    return m_shared->m_running ? TRUE : FALSE;
}
