// velmor-synth: the process in which Velmor's espeak-ng and Flite synthesis runs. espeak-ng has
// faults of its own (some inputs make it read freed memory and crash); here such a crash ends only
// this process, and the window, which starts a new one, keeps its text.
//
// It talks over the socket it gets as its standard input and output (SynthesisProtocol.h):
// first it says it is ready (with the voices when started with --voices), then it answers
// requests one at a time. A Cancel read between two pieces of audio stops a synthesis at once.

#include "speech/helper/FliteSynthesis.h"
#include "speech/helper/SynthesisProtocol.h"

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace velmor::synthesis;

constexpr int kIn = 0;
constexpr int kOut = 1;

struct Request {
    MessageType type;
    std::vector<char> payload;
};

// The socket to the window: requests read into a queue as they come, Cancels noted at once.
class Channel {
public:
    Channel()
    {
        fcntl(kIn, F_SETFL, fcntl(kIn, F_GETFL) | O_NONBLOCK);
        fcntl(kOut, F_SETFL, fcntl(kOut, F_GETFL) | O_NONBLOCK);
    }

    // Waits for the next request other than a Cancel; false when the window has gone.
    bool next(Request& request)
    {
        while (m_requests.empty()) {
            if (!readInput(-1))
                return false;
        }
        request = std::move(m_requests.front());
        m_requests.pop_front();
        return true;
    }

    // Writes a whole message, reading requests meanwhile so that the two sides never wait
    // for each other.
    bool send(const std::vector<char>& message)
    {
        std::size_t written = 0;
        while (written < message.size()) {
            const ssize_t n = write(kOut, message.data() + written, message.size() - written);
            if (n > 0) {
                written += std::size_t(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            pollfd fds[2] = {{kOut, POLLOUT, 0}, {kIn, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                return false;
            if ((fds[1].revents & (POLLIN | POLLHUP)) && !readInput(0))
                return false;
        }
        return true;
    }

    // Reads what has come without waiting.
    bool readWaiting() { return readInput(0); }

    bool isCancelled(std::uint64_t id) const { return id <= m_cancelledUpTo; }

private:
    // false when the window has gone.
    bool readInput(int timeoutMs)
    {
        pollfd fd{kIn, POLLIN, 0};
        const int ready = ::poll(&fd, 1, timeoutMs);
        if (ready < 0)
            return errno == EINTR;
        if (ready == 0)
            return true;
        char chunk[65536];
        for (;;) {
            const ssize_t n = read(kIn, chunk, sizeof chunk);
            if (n > 0) {
                m_buffer.insert(m_buffer.end(), chunk, chunk + n);
                continue;
            }
            if (n == 0)
                return false;
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN)
                return false;
            break;
        }
        return parse();
    }

    bool parse()
    {
        std::size_t offset = 0;
        while (m_buffer.size() - offset >= sizeof(MessageHeader)) {
            MessageHeader header;
            std::memcpy(&header, m_buffer.data() + offset, sizeof header);
            if (header.size > kMaxMessageSize)
                return false;
            if (m_buffer.size() - offset - sizeof header < header.size)
                break;
            const char* payload = m_buffer.data() + offset + sizeof header;
            if (header.type == MessageType::Cancel) {
                MessageReader reader(payload, header.size);
                m_cancelledUpTo = std::max(m_cancelledUpTo, reader.get<std::uint64_t>());
            } else {
                m_requests.push_back({header.type, std::vector<char>(payload, payload + header.size)});
            }
            offset += sizeof header + header.size;
        }
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + std::ptrdiff_t(offset));
        return true;
    }

    std::vector<char> m_buffer;
    std::deque<Request> m_requests;
    std::uint64_t m_cancelledUpTo = 0;
};

Channel* g_channel = nullptr;
std::uint64_t g_synthesisId = 0;
bool g_lost = false; // the window has gone

// Hands a piece of audio with its events to the window; false when the synthesis is to stop.
bool sendAudio(const short* samples, std::uint32_t count, const std::vector<SynthesisEvent>& events)
{
    if (g_lost)
        return false;
    if (count > 0 || !events.empty()) {
        MessageWriter message(MessageType::Audio);
        message.put(g_synthesisId).put(count).putBytes(samples, count * sizeof(short));
        message.put(std::uint32_t(events.size()));
        for (const SynthesisEvent& e : events)
            message.put(e.type).put(e.textPosition).put(e.length).put(e.sample);
        g_lost = !g_channel->send(message.finished());
    }
    g_lost = g_lost || !g_channel->readWaiting();
    return !g_lost && !g_channel->isCancelled(g_synthesisId);
}

int onSamples(short* wav, int count, espeak_EVENT* events)
{
    if (g_lost)
        return 1;
    const std::uint32_t samples = wav ? std::uint32_t(std::max(count, 0)) : 0;
    std::vector<SynthesisEvent> kept;
    for (const espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type == espeakEVENT_WORD)
            kept.push_back({EventType::Word, e->text_position, e->length, e->sample});
        else if (e->type == espeakEVENT_SENTENCE)
            kept.push_back({EventType::Sentence, e->text_position, e->length, e->sample});
    }
    return sendAudio(wav, samples, kept) ? 0 : 1;
}

FliteSynthesizer* g_flite = nullptr;

std::string g_voice; // the voice the library has loaded

void selectVoice(std::string_view voice, std::int32_t wordsPerMinute)
{
    const std::string wanted(voice);
    if (wanted != g_voice && espeak_SetVoiceByName(wanted.c_str()) == EE_OK)
        g_voice = wanted;
    espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
}

std::string voiceInForce(std::string_view requested)
{
    if (FliteSynthesizer::knows(requested))
        return std::string(requested);
    const espeak_VOICE* voice = espeak_GetCurrentVoice();
    return voice && voice->identifier ? voice->identifier : "";
}

bool synthesize(Channel& channel, const TextRequest& request)
{
    bool cancelled = channel.isCancelled(request.id);
    if (!cancelled) {
        g_synthesisId = request.id;
        if (FliteSynthesizer::knows(request.voice)) {
            g_flite->synthesize(request.voice, request.wordsPerMinute, request.text, sendAudio);
        } else {
            selectVoice(request.voice, request.wordsPerMinute);
            const std::string text(request.text);
            espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
        }
        cancelled = channel.isCancelled(request.id);
    }
    if (g_lost)
        return false;
    MessageWriter done(MessageType::Done);
    done.put(request.id).put(std::uint8_t(cancelled)).putString(voiceInForce(request.voice));
    return channel.send(done.finished());
}

bool phonemize(Channel& channel, const TextRequest& request)
{
    if (FliteSynthesizer::knows(request.voice)) {
        MessageWriter reply(MessageType::Phonemes);
        reply.put(request.id).putString(g_flite->phones(request.voice, request.text));
        return channel.send(reply.finished());
    }
    selectVoice(request.voice, request.wordsPerMinute);
    const std::string text(request.text);
    std::string phonemes;
    const void* next = text.c_str();
    while (next) {
        if (const char* piece = espeak_TextToPhonemes(&next, espeakCHARS_UTF8, 0))
            phonemes.append(piece).push_back(' ');
    }
    MessageWriter reply(MessageType::Phonemes);
    reply.put(request.id).putString(phonemes);
    return channel.send(reply.finished());
}

// What changes when voices are installed or removed: the library's version, its data folder and
// the times its voice folders last changed.
std::string installedVoicesKey()
{
    const char* dataPath = nullptr;
    std::string key = espeak_Info(&dataPath);
    if (!dataPath)
        return key;
    key += '|';
    key += dataPath;
    const std::string root(dataPath);
    std::vector<std::string> folders{root, root + "/voices", root + "/lang"};
    for (const std::string& parent : {root + "/voices", root + "/lang"}) {
        if (DIR* dir = opendir(parent.c_str())) {
            while (const dirent* entry = readdir(dir)) {
                if (entry->d_name[0] != '.' && entry->d_type == DT_DIR)
                    folders.push_back(parent + '/' + entry->d_name);
            }
            closedir(dir);
        }
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) {
        struct stat status{};
        if (stat(folder.c_str(), &status) == 0)
            key += '|' + folder.substr(root.size()) + ':' + std::to_string(status.st_mtim.tv_sec) + '.'
                + std::to_string(status.st_mtim.tv_nsec);
    }
    return key;
}

void putVoices(MessageWriter& ready)
{
    std::vector<const espeak_VOICE*> voices;
    for (const espeak_VOICE** v = espeak_ListVoices(nullptr); v && *v; ++v)
        voices.push_back(*v);
    ready.put(std::uint32_t(voices.size()));
    for (const espeak_VOICE* v : voices) {
        ready.putString(v->identifier ? v->identifier : "").putString(v->name ? v->name : "");
        ready.put(std::uint8_t(v->gender));
        // languages: a priority byte, then a NUL-terminated tag, repeated; a 0 byte ends them.
        std::vector<std::pair<std::string, std::int32_t>> languages;
        for (const char* p = v->languages; p && *p;) {
            const std::string tag(p + 1);
            languages.emplace_back(tag, std::int32_t(static_cast<unsigned char>(*p)));
            p += tag.size() + 2;
        }
        ready.put(std::uint32_t(languages.size()));
        for (const auto& [tag, priority] : languages)
            ready.putString(tag).put(priority);
    }
    espeak_VOICE filter{};
    filter.languages = "variant";
    std::vector<std::string> variants;
    const std::string variantFolder = "!v/";
    for (const espeak_VOICE** v = espeak_ListVoices(&filter); v && *v; ++v) {
        const std::string identifier((*v)->identifier ? (*v)->identifier : "");
        if (identifier.rfind(variantFolder, 0) == 0)
            variants.push_back(identifier.substr(variantFolder.size()));
    }
    ready.put(std::uint32_t(variants.size()));
    for (const std::string& variant : variants)
        ready.putString(variant);
}

} // namespace

// espeak-ng opens its own sound output even when it only hands samples back: at start it probes
// PulseAudio with a test stream, which costs this helper a connection to the sound server and a
// few milliseconds before the first sound. This process never plays, so the probe answers that
// there is no device; the build exports this definition so that it takes the library's place.
extern "C" __attribute__((visibility("default"))) struct audio_object* create_audio_device_object(const char*, const char*, const char*)
{
    return nullptr;
}

int main(int argc, char* argv[])
{
    // This process lives only for the window that started it, and when memory runs out it is
    // the one to go, not the window with the user's text.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (FILE* score = std::fopen("/proc/self/oom_score_adj", "w")) {
        std::fputs("1000", score);
        std::fclose(score);
    }
    std::signal(SIGPIPE, SIG_IGN);
    // Listing the voices reads every voice file, which takes longer than starting the engine: it
    // is skipped when the caller already has the list for the key it gives.
    bool listVoices = false;
    std::string_view knownKey;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == kListVoices) {
            listVoices = true;
        } else if (argument.rfind(kListVoicesUnless, 0) == 0) {
            listVoices = true;
            knownKey = argument.substr(kListVoicesUnless.size());
        }
    }

    Channel channel;
    g_channel = &channel;
    const int sampleRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    MessageWriter ready(MessageType::Ready);
    ready.put(std::int32_t(std::max(sampleRate, 0)));
    const std::string key = sampleRate > 0 && listVoices ? installedVoicesKey() : std::string();
    ready.putString(key);
    const bool listing = sampleRate > 0 && listVoices && key != knownKey;
    ready.put(std::uint8_t(listing));
    if (sampleRate > 0)
        espeak_SetSynthCallback(onSamples);
    FliteSynthesizer flite(std::max(sampleRate, 1));
    g_flite = &flite;
    if (listing)
        putVoices(ready);
    if (!channel.send(ready.finished()) || sampleRate <= 0)
        return 1;

    Request request;
    while (channel.next(request)) {
        TextRequest text;
        if (!text.read(request.payload.data(), request.payload.size()))
            return 1;
        bool answered = false;
        switch (request.type) {
        case MessageType::Synthesize: answered = synthesize(channel, text); break;
        case MessageType::Phonemize: answered = phonemize(channel, text); break;
        default: break;
        }
        if (!answered)
            return 1;
    }
    return 0;
}
