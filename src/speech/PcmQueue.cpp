#include "speech/PcmQueue.h"

namespace velmor {

PcmQueue::PcmQueue(std::size_t capacityBytes)
    : m_capacity(capacityBytes)
{
}

void PcmQueue::setCapacity(std::size_t capacityBytes)
{
    std::lock_guard lock(m_mutex);
    m_capacity = capacityBytes;
    m_room.notify_all();
}

bool PcmQueue::push(PcmChunk chunk, std::uint64_t generation)
{
    std::unique_lock lock(m_mutex);
    // An end mark takes no room and must never wait behind audio.
    m_room.wait(lock, [&] {
        return m_closed || m_generation != generation || chunk.samples.isEmpty() || m_bytes < m_capacity;
    });
    if (m_closed || m_generation != generation)
        return false;
    m_bytes += std::size_t(chunk.samples.size());
    m_chunks.push_back(std::move(chunk));
    return true;
}

std::optional<PcmChunk> PcmQueue::tryPop()
{
    std::lock_guard lock(m_mutex);
    if (m_chunks.empty())
        return std::nullopt;
    PcmChunk chunk = std::move(m_chunks.front());
    m_chunks.pop_front();
    m_bytes -= std::size_t(chunk.samples.size());
    m_room.notify_all();
    return chunk;
}

std::uint64_t PcmQueue::discard()
{
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
    m_bytes = 0;
    ++m_generation;
    m_room.notify_all();
    return m_generation;
}

std::uint64_t PcmQueue::generation() const
{
    std::lock_guard lock(m_mutex);
    return m_generation;
}

void PcmQueue::close()
{
    std::lock_guard lock(m_mutex);
    m_closed = true;
    m_room.notify_all();
}

std::size_t PcmQueue::queuedBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_bytes;
}

} // namespace velmor
