#pragma once

#include "platform/comm/CFluidSynth.h"
#include "platform/comm/CWavWriter.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Renders a synthesizer into a WAV file along the program's clock (the
// performance counter), counted from the moment the file was opened. The
// sound up to now is rendered before each message is played (CatchUp), so
// every message lands in the file at the moment it was played, to the
// synthesizer's step of 64 frames. While the clock runs by itself, a thread
// also renders what falls due between messages. A clock moved by hand
// (playback faster than real time) stands still while messages are played
// and needs no thread: the file then grows only with CatchUp and Stop, and
// its sound does not depend on how fast the machine is. The clock must not
// change its kind while the file is open.
class CWavRenderer {
public:
    // Null (errno set) when the file cannot be created.
    static std::unique_ptr<CWavRenderer> Start(
        const CFluidSynth& fluid, fluid_synth_t* synth, const std::string& path, int sampleRate);
    ~CWavRenderer();
    CWavRenderer(const CWavRenderer&) = delete;
    CWavRenderer& operator=(const CWavRenderer&) = delete;

    // Renders the sound up to now, then plays (when given) before any later
    // frame is rendered; FALSE, without playing, once a write into the file
    // has failed.
    bool CatchUp(const std::function<void()>& play = {});
    // Renders up to now, stops the thread and completes the file.
    void Stop();
    // The error code of the first write into the file that failed; 0 while
    // none failed. Any thread may ask.
    int Error() const { return m_writer.Error(); }

private:
    CWavRenderer(const CFluidSynth& fluid, fluid_synth_t* synth, int sampleRate);
    void Run();
    // The frame the clock stands at.
    std::uint64_t Due() const;

    const CFluidSynth& m_fluid;
    fluid_synth_t* m_synth;
    int m_sampleRate;
    LONGLONG m_opened { 0 };
    // Serialises the rendering of the thread and of the messages' CatchUp
    // with their playing, and guards the writer's appends.
    std::mutex m_renderLock;
    CWavWriter m_writer;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop { false };
    std::thread m_thread;
};
