#include "platform/core/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_sinkLock;
MessageBoxSink g_sink;

int DefaultSink(HWND, const CString& text, const CString& caption, UINT)
{
    if (caption.IsEmpty())
        std::fprintf(stderr, "%s\n", text.ToUtf8().c_str());
    else
        std::fprintf(stderr, "%s: %s\n", caption.ToUtf8().c_str(), text.ToUtf8().c_str());
    return IDOK;
}

}

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink)
{
    std::lock_guard<std::mutex> guard(g_sinkLock);
    MessageBoxSink previous = std::move(g_sink);
    g_sink = std::move(sink);
    return previous;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    MessageBoxSink sink;
    {
        std::lock_guard<std::mutex> guard(g_sinkLock);
        sink = g_sink;
    }
    CString t(text), c(caption);
    return sink ? sink(owner, t, c, type) : DefaultSink(owner, t, c, type);
}
