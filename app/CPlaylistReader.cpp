#include "app/CPlaylistReader.h"

#include "app/CMediaControl.h"
#include "platform/ui/WindowHandle.h"
#include "player/CPlayerState.h"
#include "song/CSongFile.h"
#include "song/CSongInfo.h"

#include <system_error>

CPlaylistReader::~CPlaylistReader()
{
    Stop();
}

BOOL CPlaylistReader::Begin(HWND window, const std::vector<CString>& paths)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_waiting.assign(paths.begin(), paths.end());
        m_window = window;
        if (m_running || m_waiting.empty())
            return TRUE;
    }
    // A thread that ran out of songs has left its loop (m_running is false)
    // and only has to be joined before another takes its place.
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> guard(m_lock);
    try {
        m_thread = std::thread(&CPlaylistReader::Run, this);
    } catch (const std::system_error&) {
        m_waiting.clear();
        return FALSE;
    }
    m_running = true;
    return TRUE;
}

void CPlaylistReader::Run()
{
    for (;;) {
        CString path;
        HWND window;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_waiting.empty()) {
                m_running = false;
                return;
            }
            path = std::move(m_waiting.front());
            m_waiting.pop_front();
            window = m_window;
        }
        Result result = Read(path);
        bool first;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            first = m_results.empty();
            m_results.push_back(std::move(result));
        }
        // One notice for all the results that wait: the window takes them
        // together.
        if (first)
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(READ, 0), reinterpret_cast<LPARAM>(window));
    }
}

std::vector<CPlaylistReader::Result> CPlaylistReader::Take()
{
    std::lock_guard<std::mutex> guard(m_lock);
    std::vector<Result> results;
    results.swap(m_results);
    return results;
}

BOOL CPlaylistReader::Reading() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_running ? TRUE : FALSE;
}

void CPlaylistReader::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_waiting.clear();
    }
    if (m_thread.joinable())
        m_thread.join();
}

CPlaylistReader::Result CPlaylistReader::Read(const CString& path)
{
    Result result;
    result.path = path;
    CSongFile file;
    if (!file.Load(path) || !file.Failure().IsEmpty()) {
        result.failed = true;
        return result;
    }
    result.title = CMediaControl::TitleOf(file.m_pTracks, path);
    // The length as the window finds it once the song is in place: the
    // player state's tempo map (constant for SMPTE timing) up to the last
    // event of any track.
    CPlayerState state;
    state.TakeFacts(file.m_facts);
    state.AdoptSong(file.m_pTracks);
    result.micros = state.m_tempoMap.MicrosAt(CSongInfo::FromTracks(file.m_pTracks).m_length, state.m_ppqn,
        state.m_tempoMap.FirstTempo());
    return result;
}
