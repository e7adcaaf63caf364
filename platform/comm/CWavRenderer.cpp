#include "platform/comm/CWavRenderer.h"

#include <chrono>
#include <vector>

namespace {

constexpr int kBlockFrames = 512;
constexpr auto kPeriod = std::chrono::milliseconds(5);

}

CWavRenderer::CWavRenderer(fluid_synth_t* synth, int sampleRate)
    : m_synth(synth)
    , m_sampleRate(sampleRate)
{
}

std::unique_ptr<CWavRenderer> CWavRenderer::Start(fluid_synth_t* synth, const std::string& path, int sampleRate)
{
    std::unique_ptr<CWavRenderer> renderer(new CWavRenderer(synth, sampleRate));
    if (!renderer->m_writer.Open(path, sampleRate, 2))
        return nullptr;
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
        m_stop = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
    m_writer.Finish();
}

void CWavRenderer::RenderUntil(std::uint64_t frame)
{
    std::int16_t block[kBlockFrames * 2];
    while (m_writer.Frames() < frame && m_writer.Error() == 0) {
        int n = static_cast<int>(std::min<std::uint64_t>(kBlockFrames, frame - m_writer.Frames()));
        fluid_synth_write_s16(m_synth, n, block, 0, 2, block, 1, 2);
        m_writer.Append(block, static_cast<std::size_t>(n));
    }
}

void CWavRenderer::Run()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    auto due = [&] {
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
        return static_cast<std::uint64_t>(us) * static_cast<std::uint64_t>(m_sampleRate) / 1000000u;
    };
    for (;;) {
        RenderUntil(due());
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_wake.wait_for(lock, kPeriod, [this] { return m_stop; }))
            break;
    }
    RenderUntil(due());
}
