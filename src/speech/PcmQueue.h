#pragma once

#include <QByteArray>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

namespace velmor {

// A word of a text whose sound begins in a chunk: where in the chunk's samples, and where in
// the text (UTF-16 units).
struct WordMark {
    qsizetype sample = 0;
    int textOffset = 0;
    int length = 0;
};

// A piece of synthesized speech: 16-bit mono samples of one text, or the mark that the text
// has no more samples. The words travel with the sound so that each is reported when heard.
struct PcmChunk {
    std::uint64_t textId = 0;
    QByteArray samples;
    bool endOfText = false;
    std::vector<WordMark> words = {};
};

// Carries PCM from the synthesis thread to the UI thread. Synthesis runs far faster than real
// time, so a producer blocks while the queue holds its capacity. discard() throws everything
// away and starts a new generation: producers still working for an older one are refused
// (also while blocked), which is their cue to cancel synthesis.
class PcmQueue {
public:
    explicit PcmQueue(std::size_t capacityBytes);
    void setCapacity(std::size_t capacityBytes);

    // Appends a chunk made for the given generation, waiting for room. False when the chunk
    // belongs to a discarded generation or the queue was closed.
    bool push(PcmChunk chunk, std::uint64_t generation);
    std::optional<PcmChunk> tryPop();

    // Returns the new generation.
    std::uint64_t discard();
    std::uint64_t generation() const;
    // Refuses every producer from now on.
    void close();

    std::size_t queuedBytes() const;

private:
    mutable std::mutex m_mutex;
    std::size_t m_capacity;
    std::condition_variable m_room;
    std::deque<PcmChunk> m_chunks;
    std::size_t m_bytes = 0;
    std::uint64_t m_generation = 0;
    bool m_closed = false;
};

} // namespace velmor
