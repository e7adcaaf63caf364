#pragma once

#include "platform/comm/CWavWriter.h"

#include <fluidsynth.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// Renders a synthesizer in real time into a WAV file: a thread follows the
// clock and writes the frames that are due, so messages land in the file
// at the moment they were played.
class CWavRenderer {
public:
    // Null (errno set) when the file cannot be created.
    static std::unique_ptr<CWavRenderer> Start(fluid_synth_t* synth, const std::string& path, int sampleRate);
    ~CWavRenderer();
    CWavRenderer(const CWavRenderer&) = delete;
    CWavRenderer& operator=(const CWavRenderer&) = delete;

    // Renders up to now, stops the thread and completes the file.
    void Stop();
    // The error code of the first write into the file that failed; 0 while
    // none failed. Any thread may ask.
    int Error() const { return m_writer.Error(); }

private:
    CWavRenderer(fluid_synth_t* synth, int sampleRate);
    void Run();
    void RenderUntil(std::uint64_t frame);

    fluid_synth_t* m_synth;
    int m_sampleRate;
    CWavWriter m_writer;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop { false };
    std::thread m_thread;
};
