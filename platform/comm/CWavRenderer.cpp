#include "platform/comm/CWavRenderer.h"

#include "platform/core/TickCount.h"

#include <chrono>

namespace {

constexpr int kBlockFrames = 4096;
constexpr auto kPeriod = std::chrono::milliseconds(5);

LONGLONG CounterNow()
{
    LARGE_INTEGER count {};
    QueryPerformanceCounter(&count);
    return count.QuadPart;
}

}

CWavRenderer::CWavRenderer(const CFluidSynth& fluid, fluid_synth_t* synth, int sampleRate)
    : m_fluid(fluid)
    , m_synth(synth)
    , m_sampleRate(sampleRate)
{
}

std::unique_ptr<CWavRenderer> CWavRenderer::Start(
    const CFluidSynth& fluid, fluid_synth_t* synth, const std::string& path, int sampleRate)
{
    std::unique_ptr<CWavRenderer> renderer(new CWavRenderer(fluid, synth, sampleRate));
    if (!renderer->m_writer.Open(path, sampleRate, 2))
        return nullptr;
    renderer->m_opened = CounterNow();
    if (!IsClockReplaced())
        renderer->m_thread = std::thread(&CWavRenderer::Run, renderer.get());
    return renderer;
}

CWavRenderer::~CWavRenderer()
{
    Stop();
}

void CWavRenderer::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stop)
            return;
        m_stop = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
    CatchUp();
    m_writer.Finish();
}

std::uint64_t CWavRenderer::Due() const
{
    LARGE_INTEGER frequency {};
    QueryPerformanceFrequency(&frequency);
    const LONGLONG elapsed = CounterNow() - m_opened;
    const LONGLONG perSecond = frequency.QuadPart;
    if (elapsed <= 0 || perSecond <= 0)
        return 0;
    // Whole seconds and the rest apart, so that the product cannot overflow.
    const LONGLONG rate = m_sampleRate;
    return static_cast<std::uint64_t>(elapsed / perSecond * rate + elapsed % perSecond * rate / perSecond);
}

bool CWavRenderer::CatchUp(const std::function<void()>& play)
{
    std::lock_guard<std::mutex> guard(m_renderLock);
    const std::uint64_t frame = Due();
    std::int16_t block[kBlockFrames * 2];
    while (m_writer.Frames() < frame) {
        int n = static_cast<int>(std::min<std::uint64_t>(kBlockFrames, frame - m_writer.Frames()));
        m_fluid.fluid_synth_write_s16(m_synth, n, block, 0, 2, block, 1, 2);
        // A failed write, or a file that has reached the largest size a WAV
        // header can state, takes no more.
        if (!m_writer.Append(block, static_cast<std::size_t>(n)))
            break;
    }
    if (m_writer.Error() != 0)
        return false;
    if (play)
        play();
    return true;
}

void CWavRenderer::Run()
{
    for (;;) {
        CatchUp();
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_wake.wait_for(lock, kPeriod, [this] { return m_stop; }))
            break;
    }
}
