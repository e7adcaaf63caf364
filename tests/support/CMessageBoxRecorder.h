#pragma once

#include "platform/core/MessageBox.h"

#include <mutex>
#include <vector>

// Records every message box shown while it lives and
// answers each with a fixed result. Restores the previous sink on exit.
class CMessageBoxRecorder {
public:
    struct Entry {
        HWND owner;
        CString text;
        CString caption;
        UINT type;
    };

    explicit CMessageBoxRecorder(int answer = IDOK)
    {
        m_previous = SetMessageBoxSink([this, answer](HWND owner, const CString& text, const CString& caption, UINT type) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_entries.push_back({ owner, text, caption, type });
            return answer;
        });
    }
    ~CMessageBoxRecorder() { SetMessageBoxSink(std::move(m_previous)); }
    CMessageBoxRecorder(const CMessageBoxRecorder&) = delete;
    CMessageBoxRecorder& operator=(const CMessageBoxRecorder&) = delete;

    std::vector<Entry> Entries() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_entries;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_entries.clear();
    }

private:
    mutable std::mutex m_lock;
    std::vector<Entry> m_entries;
    MessageBoxSink m_previous;
};
