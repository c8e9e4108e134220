#pragma once

// The messages between the window process and its synthesis helper, over a stream socket.
// Both ends are the same build on the same machine, so values travel in the machine's own
// byte order. A message is a header (its type and the size of its payload) and the payload,
// built and read with MessageWriter and MessageReader. Plain C++: the helper links no Qt.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace velmor::synthesis {

enum class MessageType : std::uint32_t {
    // helper -> window
    Ready = 1,    // i32 sample rate (0: no engine); str the installed voices' key; u8 listed;
                  // when listed: u32 voices, each: str identifier, str name, u8 gender,
                  // u32 languages, each: str tag, i32 priority; u32 variants, each: str
    Audio = 2,    // u64 id; u32 samples, each i16; u32 events, each: i32 type, i32 text position
                  // (code points from 1), i32 length (code points), i64 sample
    Done = 3,     // u64 id; u8 cancelled; str the engine's identifier of the voice it used
    Phonemes = 4, // u64 id; str phonemes
    // window -> helper
    Synthesize = 10, // u64 id; str voice; i32 words per minute; str UTF-8 text
    Phonemize = 11,  // the same fields as Synthesize
    Cancel = 12,     // u64 id
};

// The helper's arguments: list the voices in Ready, unless they still have the key given.
inline constexpr std::string_view kListVoices = "--voices";
inline constexpr std::string_view kListVoicesUnless = "--voices-unless=";

struct MessageHeader {
    MessageType type;
    std::uint32_t size;
};

// Nothing sensible is this large; a bigger size means the stream is corrupt.
inline constexpr std::uint32_t kMaxMessageSize = 256u << 20;

enum class EventType : std::int32_t { Word = 1, Sentence = 2 };

struct SynthesisEvent {
    EventType type;
    std::int32_t textPosition;
    std::int32_t length;
    std::int64_t sample;
};

class MessageWriter {
public:
    explicit MessageWriter(MessageType type)
    {
        m_bytes.resize(sizeof(MessageHeader));
        const MessageHeader header{type, 0};
        std::memcpy(m_bytes.data(), &header, sizeof header);
    }

    template <typename T>
    MessageWriter& put(T value)
    {
        const auto* p = reinterpret_cast<const char*>(&value);
        m_bytes.insert(m_bytes.end(), p, p + sizeof(T));
        return *this;
    }

    MessageWriter& putBytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const char*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
        return *this;
    }

    MessageWriter& putString(std::string_view text)
    {
        put(std::uint32_t(text.size()));
        return putBytes(text.data(), text.size());
    }

    // The whole message, its header's size filled in.
    const std::vector<char>& finished()
    {
        const auto size = std::uint32_t(m_bytes.size() - sizeof(MessageHeader));
        std::memcpy(m_bytes.data() + offsetof(MessageHeader, size), &size, sizeof size);
        return m_bytes;
    }

private:
    std::vector<char> m_bytes;
};

// Reads a payload front to back; a read past its end sets failed() and gives zeros.
class MessageReader {
public:
    MessageReader(const char* data, std::size_t size) : m_data(data), m_size(size) { }

    template <typename T>
    T get()
    {
        T value{};
        if (take(sizeof(T)))
            std::memcpy(&value, m_data + m_offset - sizeof(T), sizeof(T));
        return value;
    }

    std::string_view getBytes(std::size_t size)
    {
        if (!take(size))
            return {};
        return {m_data + m_offset - size, size};
    }

    std::string_view getString() { return getBytes(get<std::uint32_t>()); }

    bool failed() const { return m_failed; }
    std::size_t remaining() const { return m_size - m_offset; }

private:
    bool take(std::size_t size)
    {
        if (m_failed || size > m_size - m_offset) {
            m_failed = true;
            return false;
        }
        m_offset += size;
        return true;
    }

    const char* m_data;
    std::size_t m_size;
    std::size_t m_offset = 0;
    bool m_failed = false;
};

// What Synthesize and Phonemize carry. The views point into the message read, or at the
// caller's strings when writing.
struct TextRequest {
    std::uint64_t id = 0;
    std::string_view voice;
    std::int32_t wordsPerMinute = 0;
    std::string_view text;

    std::vector<char> message(MessageType type) const
    {
        MessageWriter writer(type);
        writer.put(id).putString(voice).put(wordsPerMinute).putString(text);
        return writer.finished();
    }

    // False when the payload is too short.
    bool read(const char* payload, std::size_t size)
    {
        MessageReader reader(payload, size);
        id = reader.get<std::uint64_t>();
        voice = reader.getString();
        wordsPerMinute = reader.get<std::int32_t>();
        text = reader.getString();
        return !reader.failed();
    }
};

} // namespace velmor::synthesis
