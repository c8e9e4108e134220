#include "speech/SynthesisHelper.h"

#include "core/InstalledFiles.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstring>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmor {

using namespace synthesis;

namespace {

VoiceGender genderOf(std::uint8_t gender)
{
    switch (gender) {
    case 1: return VoiceGender::Male;
    case 2: return VoiceGender::Female;
    default: return VoiceGender::Unknown;
    }
}

QByteArray bytes(std::string_view text) { return QByteArray(text.data(), qsizetype(text.size())); }

// Reads the voices and variants, as a Ready message lists them, into started.
bool readVoices(MessageReader& reader, SynthesisHelper::Started& started)
{
    const auto voiceCount = reader.get<std::uint32_t>();
    for (std::uint32_t i = 0; i < voiceCount && !reader.failed(); ++i) {
        InstalledVoice voice;
        voice.identifier = bytes(reader.getString());
        voice.name = QString::fromUtf8(bytes(reader.getString()));
        voice.gender = genderOf(reader.get<std::uint8_t>());
        const auto languageCount = reader.get<std::uint32_t>();
        for (std::uint32_t l = 0; l < languageCount && !reader.failed(); ++l) {
            VoiceLanguage language;
            language.tag = bytes(reader.getString());
            language.priority = reader.get<std::int32_t>();
            voice.languages.push_back(language);
        }
        started.voices.push_back(std::move(voice));
    }
    const auto variantCount = reader.get<std::uint32_t>();
    for (std::uint32_t i = 0; i < variantCount && !reader.failed(); ++i)
        started.variants.push_back(bytes(reader.getString()));
    return !reader.failed();
}

// The voices the helper listed last time, with the key they were listed under: listing them takes
// the helper longer than starting, and the list changes only when voices are installed.
class VoiceListCache {
public:
    VoiceListCache()
        : m_path(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                 + QStringLiteral("/velmor/espeak-voices"))
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QByteArray content = file.readAll();
        const qsizetype newline = content.indexOf('\n');
        if (newline <= 0)
            return;
        m_key = content.left(newline);
        m_list = content.mid(newline + 1);
    }

    const QByteArray& key() const { return m_key; }
    const QByteArray& list() const { return m_list; }

    void store(const QByteArray& key, QByteArrayView list)
    {
        if (key.contains('\n'))
            return;
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QSaveFile file(m_path);
        if (file.open(QIODevice::WriteOnly) && file.write(key + '\n') >= 0 && file.write(list.data(), list.size()) >= 0)
            file.commit();
    }

private:
    QString m_path;
    QByteArray m_key;
    QByteArray m_list;
};

} // namespace

QString SynthesisHelper::defaultProgram()
{
    const QString configured = qEnvironmentVariable("VELMOR_SYNTH_HELPER");
    if (!configured.isEmpty())
        return configured;
    return companionFile(QStringLiteral("velmor-synth"));
}

SynthesisHelper::SynthesisHelper(QString program)
    : m_program(std::move(program))
{
}

SynthesisHelper::~SynthesisHelper() { stop(); }

std::optional<SynthesisHelper::Started> SynthesisHelper::start(bool listVoices)
{
    stop();
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return std::nullopt;
    // The helper's end becomes its standard input and output; its errors go where ours do.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 0);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    // A group of its own, so that Ctrl+C at a terminal interrupts the program, which then
    // stops the helper, rather than killing the helper under it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    const QByteArray program = QFile::encodeName(m_program);
    std::optional<VoiceListCache> cache;
    QByteArray voicesArgument;
    if (listVoices) {
        cache.emplace();
        voicesArgument = cache->key().isEmpty() ? QByteArray(kListVoices.data(), qsizetype(kListVoices.size()))
                                                : QByteArray(kListVoicesUnless.data(), qsizetype(kListVoicesUnless.size())) + cache->key();
    }
    char* arguments[] = {const_cast<char*>(program.constData()), listVoices ? voicesArgument.data() : nullptr, nullptr};
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.constData(), &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(ends[1]);
    if (failed != 0) {
        close(ends[0]);
        qWarning("Velmor: cannot start the speech engine %s: %s", program.constData(), strerror(failed));
        return std::nullopt;
    }
    m_pid = pid;
    m_socket = ends[0];
    m_buffer.clear();
    std::optional<Started> started;
    if (const std::optional<Message> ready = receive(); ready && ready->type == MessageType::Ready) {
        MessageReader reader(ready->payload.data(), ready->payload.size());
        Started readyState;
        readyState.sampleRate = reader.get<std::int32_t>();
        const QByteArray key = bytes(reader.getString());
        const bool listed = reader.get<std::uint8_t>() != 0;
        bool complete = !reader.failed() && readyState.sampleRate > 0;
        if (complete && listed) {
            const std::size_t listStart = ready->payload.size() - reader.remaining();
            complete = readVoices(reader, readyState);
            if (complete)
                cache->store(key, QByteArrayView(ready->payload.data() + listStart, qsizetype(ready->payload.size() - listStart)));
        } else if (complete && listVoices) {
            MessageReader cached(cache->list().constData(), std::size_t(cache->list().size()));
            complete = readVoices(cached, readyState);
        }
        if (complete)
            started = std::move(readyState);
    }
    if (!started) {
        qWarning("Velmor: the speech engine %s did not start", program.constData());
        stop();
    }
    return started;
}

void SynthesisHelper::stop()
{
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
        m_pid = -1;
    }
}

bool SynthesisHelper::send(const std::vector<char>& message)
{
    std::size_t written = 0;
    while (written < message.size()) {
        pollfd fd{m_socket, POLLOUT, 0};
        const int ready = poll(&fd, 1, kHangTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || (fd.revents & (POLLERR | POLLHUP)))
            return false;
        const ssize_t n = ::send(m_socket, message.data() + written, message.size() - written, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return false;
        written += std::size_t(n);
    }
    return true;
}

std::optional<SynthesisHelper::Message> SynthesisHelper::receive()
{
    if (m_socket < 0)
        return std::nullopt;
    const auto complete = [this]() -> std::optional<Message> {
        if (m_buffer.size() < sizeof(MessageHeader))
            return std::nullopt;
        MessageHeader header;
        std::memcpy(&header, m_buffer.data(), sizeof header);
        if (m_buffer.size() - sizeof header < header.size)
            return std::nullopt;
        const auto begin = m_buffer.begin() + std::ptrdiff_t(sizeof header);
        Message message{header.type, std::vector<char>(begin, begin + std::ptrdiff_t(header.size))};
        m_buffer.erase(m_buffer.begin(), begin + std::ptrdiff_t(header.size));
        return message;
    };
    for (;;) {
        if (std::optional<Message> message = complete())
            return message;
        if (m_buffer.size() >= sizeof(MessageHeader)) {
            MessageHeader header;
            std::memcpy(&header, m_buffer.data(), sizeof header);
            if (header.size > kMaxMessageSize)
                break; // a stream we cannot follow
            m_buffer.reserve(sizeof header + header.size);
        }
        pollfd fd{m_socket, POLLIN, 0};
        const int ready = poll(&fd, 1, kHangTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            qWarning("Velmor: the speech engine stopped answering; it is started anew");
            break;
        }
        char chunk[65536];
        const ssize_t n = ready < 0 ? -1 : recv(m_socket, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0) {
            m_buffer.insert(m_buffer.end(), chunk, chunk + n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        break; // closed: the helper has ended
    }
    if (m_pid > 0) {
        int status = 0;
        kill(m_pid, SIGKILL);
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
        if (WIFSIGNALED(status) && WTERMSIG(status) != SIGKILL)
            qWarning("Velmor: the speech engine ended with signal %d", WTERMSIG(status));
        m_pid = -1;
    }
    close(m_socket);
    m_socket = -1;
    return std::nullopt;
}

std::uint64_t SynthesisHelper::request(MessageType type, const QByteArray& voice, int wordsPerMinute, const QByteArray& text)
{
    if (!isRunning())
        return 0;
    const TextRequest request{++m_lastId, {voice.constData(), std::size_t(voice.size())}, std::int32_t(wordsPerMinute),
                              {text.constData(), std::size_t(text.size())}};
    if (!send(request.message(type))) {
        stop();
        return 0;
    }
    return request.id;
}

SynthesisHelper::Outcome SynthesisHelper::synthesize(const QByteArray& voice, int wordsPerMinute, const QByteArray& text,
                                                     const AudioSink& sink, QByteArray* voiceInForce)
{
    const std::uint64_t id = request(MessageType::Synthesize, voice, wordsPerMinute, text);
    if (id == 0)
        return Outcome::Died;
    bool cancelled = false;
    std::vector<Event> events;
    while (std::optional<Message> message = receive()) {
        MessageReader reader(message->payload.data(), message->payload.size());
        if (reader.get<std::uint64_t>() != id)
            continue;
        if (message->type == MessageType::Done) {
            const bool helperCancelled = reader.get<std::uint8_t>() != 0;
            if (voiceInForce)
                *voiceInForce = bytes(reader.getString());
            return cancelled || helperCancelled ? Outcome::Cancelled : Outcome::Finished;
        }
        if (message->type != MessageType::Audio || cancelled)
            continue;
        const auto count = reader.get<std::uint32_t>();
        const std::string_view samples = reader.getBytes(std::size_t(count) * sizeof(short));
        events.resize(reader.get<std::uint32_t>());
        for (Event& event : events) {
            event.type = reader.get<EventType>();
            event.textPosition = reader.get<std::int32_t>();
            event.length = reader.get<std::int32_t>();
            event.sample = reader.get<std::int64_t>();
        }
        if (reader.failed())
            break;
        if (!sink(reinterpret_cast<const short*>(samples.data()), int(count), events)) {
            cancelled = true;
            MessageWriter cancel(MessageType::Cancel);
            cancel.put(id);
            if (!send(cancel.finished()))
                break;
        }
    }
    stop();
    return Outcome::Died;
}

std::optional<QString> SynthesisHelper::phonemes(const QByteArray& voice, int wordsPerMinute, const QByteArray& text)
{
    const std::uint64_t id = request(MessageType::Phonemize, voice, wordsPerMinute, text);
    if (id == 0)
        return std::nullopt;
    while (std::optional<Message> message = receive()) {
        MessageReader reader(message->payload.data(), message->payload.size());
        if (message->type == MessageType::Phonemes && reader.get<std::uint64_t>() == id)
            return QString::fromUtf8(bytes(reader.getString()));
    }
    return std::nullopt;
}

} // namespace velmor
