#include "song/CSongFile.h"

#include "platform/core/CFile.h"
#include "platform/core/ErrorText.h"
#include "platform/core/LastError.h"
#include "song/CMidiFileReader.h"
#include "song/ContentHash.h"
#include "song/CRing.h"
#include "song/CSong.h"
#include "song/CTrack.h"

#include <memory>
#include <new>

const wchar_t* const CSongFile::kTooLarge = L"The file is larger than 64 MiB, too large to be a Standard MIDI File";
const wchar_t* const CSongFile::kNoMemory = L"Not enough memory to load the file";

CSongFile::CSongFile(LONGLONG smpteOffset)
{
    m_facts.m_smpteOffset = smpteOffset;
}

CSongFile::~CSongFile()
{
    Free();
}

void CSongFile::Free()
{
    CRing::Clear(m_pTracks);
    CRing::Clear(m_pSongs);
}

BOOL CSongFile::Load(const CString& path)
{
    m_failure.Empty();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) {
        m_failure = L"Cannot open the file: " + ErrorText(GetLastError());
        return FALSE;
    }
    const LONGLONG length = file.SeekToEnd();
    file.SeekToBegin();
    if (length < 0) {
        m_failure = L"Cannot read the file: " + ErrorText(GetLastError());
        return FALSE;
    }
    if (length > kMaxFileSize) {
        m_failure = kTooLarge;
        return FALSE;
    }
    // The song keeps the bytes: its system-exclusive and meta events point
    // into them.
    std::shared_ptr<BYTE[]> buffer;
    try {
        buffer.reset(new BYTE[static_cast<size_t>(length) + 1]);
    } catch (const std::bad_alloc&) {
        m_failure = kNoMemory;
        return FALSE;
    }
    // A file that shrank since its length was taken is parsed as far as it
    // was read; one that cannot be read to its end is refused.
    SetLastError(ERROR_SUCCESS);
    const UINT read = file.Read(buffer.get(), static_cast<UINT>(length));
    if (GetLastError() != ERROR_SUCCESS) {
        m_failure = L"Cannot read the file: " + ErrorText(GetLastError());
        return FALSE;
    }
    file.Close();
    // Read here, on the loader's thread: a large file costs the window nothing.
    m_facts.m_contentHash = ContentHash(buffer.get(), read);
    return Parse(std::move(buffer), read);
}

BOOL CSongFile::Parse(std::shared_ptr<const BYTE[]> bytes, size_t size)
{
    Free();
    CMidiFileReader reader(std::move(bytes), size, m_facts);
    try {
        if (const wchar_t* failure = reader.Read(m_pSongs, m_pTracks)) {
            m_failure = failure;
            return FALSE;
        }
    } catch (const std::bad_alloc&) {
        // Whatever was built goes at once, to give the memory back.
        Free();
        m_failure = kNoMemory;
        return FALSE;
    }
    return TRUE;
}

CString CSongFile::FailureMessage(const CString& path) const
{
    return m_failure + L"\n" + path;
}

void CSongFile::Exchange(CSong*& songs, CTrack*& tracks)
{
    std::swap(songs, m_pSongs);
    std::swap(tracks, m_pTracks);
}
