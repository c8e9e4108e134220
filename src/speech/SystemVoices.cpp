#include "speech/SystemVoices.h"

#include <libspeechd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>

namespace velmor {

namespace {

// Speeds speech-dispatcher's rate 0 and its ends stand for with espeak-ng, its usual module.
constexpr int kNormalSpeed = 175;
constexpr int kSlowestSpeed = 80;
constexpr int kFastestSpeed = 450;
const QString kSystemPrefix = QStringLiteral("System: ");
// The module speech-dispatcher falls back to when nothing speaks: a recorded notice, no voice.
const QString kDummyModule = QStringLiteral("dummy");
constexpr char kCacheHeader[] = "velmor system voices 1";
// Pieces of a text sent at a time: the service has the next before the last one ends, and a
// long text neither waits for all of it to be marked up nor holds the window while it goes.
constexpr int kPieceLength = 1000;
constexpr int kPiecesSent = 2;

// Where a piece of text starting at begin ends best: after a sentence (a Japanese one needs no
// space after it), else at a space.
int pieceEnd(const QString& text, int begin)
{
    if (text.size() - begin <= kPieceLength)
        return int(text.size());
    const int limit = begin + kPieceLength;
    int space = -1;
    for (int i = limit; i > begin + kPieceLength / 2; --i) {
        if (QStringView(u"\u3002\uFF01\uFF1F").contains(text[i - 1]))
            return i;
        if (!text[i].isSpace())
            continue;
        if (QStringView(u".!?").contains(text[i - 1]))
            return i;
        if (space < 0)
            space = i;
    }
    if (space > 0)
        return space;
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

std::mutex g_instanceLock;
SystemVoices* g_instance = nullptr;

bool saysFemale(const QString& text)
{
    const QString lower = text.toLower();
    if (lower.contains(QStringLiteral("female")) || lower.contains(QStringLiteral("woman")))
        return true;
    // espeak-ng's variant files f1..f5
    return lower.size() >= 2 && lower.front() == u'f' && std::all_of(lower.begin() + 1, lower.end(), [](QChar c) { return c.isDigit(); });
}

QStringList toList(char** items)
{
    QStringList list;
    for (char** item = items; item && *item; ++item) {
        list << QString::fromUtf8(*item);
        std::free(*item);
    }
    std::free(static_cast<void*>(items));
    return list;
}

std::vector<SystemVoice> listVoices(SPDConnection* connection, const QStringList& modules)
{
    std::vector<SystemVoice> voices;
    for (const QString& module : modules) {
        if (module == kDummyModule || spd_set_output_module(connection, module.toUtf8().constData()) != 0)
            continue;
        SPDVoice** listed = spd_list_synthesis_voices(connection);
        for (SPDVoice** voice = listed; voice && *voice; ++voice)
            voices.push_back({module, QString::fromUtf8((*voice)->name), QString::fromUtf8((*voice)->language),
                              QString::fromUtf8((*voice)->variant)});
        free_spd_voices(listed);
    }
    return withoutVariantCopies(std::move(voices));
}

// The cached list when it was made for the same modules.
std::optional<std::vector<SystemVoice>> readCache(const QString& path, const QStringList& modules)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    if (in.readLine() != QLatin1String(kCacheHeader) || in.readLine() != modules.join(u'\t'))
        return std::nullopt;
    std::vector<SystemVoice> voices;
    while (!in.atEnd()) {
        const QStringList fields = in.readLine().split(u'\t');
        if (fields.size() != 4)
            return std::nullopt;
        voices.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return voices;
}

QString fieldText(const QString& field) { return QString(field).replace(u'\t', u' ').replace(u'\n', u' '); }

void writeCache(const QString& path, const QStringList& modules, const std::vector<SystemVoice>& voices)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << kCacheHeader << '\n' << modules.join(u'\t') << '\n';
    for (const SystemVoice& voice : voices)
        out << fieldText(voice.module) << '\t' << fieldText(voice.name) << '\t' << fieldText(voice.language) << '\t'
            << fieldText(voice.variant) << '\n';
    out.flush();
    file.commit();
}

} // namespace

// On libspeechd's thread: the event waits for the engine's own thread.
void deliver(const SystemVoices::Event& event)
{
    const std::lock_guard lock(g_instanceLock);
    if (SystemVoices* target = g_instance)
        QMetaObject::invokeMethod(target, [target, event] { target->handle(event); }, Qt::QueuedConnection);
}

namespace {

void onBegin(std::size_t message, std::size_t, SPDNotificationType) { deliver({SystemVoices::EventKind::Begin, message}); }
// A message cancelled by someone else ends it as well: the texts behind it go on.
void onEnd(std::size_t message, std::size_t, SPDNotificationType) { deliver({SystemVoices::EventKind::End, message}); }
void onMark(std::size_t message, std::size_t, SPDNotificationType, char* mark)
{
    bool number = false;
    const int word = mark ? QByteArray(mark).toInt(&number) : -1;
    if (number)
        deliver({SystemVoices::EventKind::Mark, message, word});
}

} // namespace

QString systemModeName(const SystemVoice& voice)
{
    return saysFemale(voice.name) || saysFemale(voice.variant) ? QStringLiteral("Female System") : QStringLiteral("Male System");
}

QString systemSpeaker(const SystemVoice& voice)
{
    return kSystemPrefix + voice.module + u' ' + voice.name + QStringLiteral(" (") + voice.language + u')';
}

bool isSystemSpeaker(const QString& speaker) { return speaker.startsWith(kSystemPrefix); }

QString systemSpeakerLanguage(const QString& speaker)
{
    if (!isSystemSpeaker(speaker) || !speaker.endsWith(u')'))
        return {};
    const qsizetype open = speaker.lastIndexOf(u'(');
    return open < 0 ? QString() : speaker.mid(open + 1, speaker.size() - open - 2);
}

std::vector<SystemVoice> withoutVariantCopies(std::vector<SystemVoice> voices)
{
    std::set<std::pair<QString, QString>> plain;
    for (const SystemVoice& voice : voices)
        plain.emplace(voice.module, voice.name);
    std::erase_if(voices, [&plain](const SystemVoice& voice) {
        const qsizetype plus = voice.name.indexOf(u'+');
        return plus > 0 && plain.count({voice.module, voice.name.left(plus)}) > 0;
    });
    return voices;
}

QString unrecordableVoiceMessage(const QString& speaker)
{
    return QStringLiteral("%1 is a system voice and cannot be recorded; choose a built-in voice").arg(speaker);
}

int systemRate(int wordsPerMinute)
{
    const int rate = wordsPerMinute >= kNormalSpeed
        ? (wordsPerMinute - kNormalSpeed) * 100 / (kFastestSpeed - kNormalSpeed)
        : (wordsPerMinute - kNormalSpeed) * 100 / (kNormalSpeed - kSlowestSpeed);
    return std::clamp(rate, -100, 100);
}

MarkedText markWords(QStringView text, int fromWord)
{
    MarkedText marked;
    // A word is what stands between spaces without the punctuation around it.
    const auto wordly = [](QChar c) { return c.isLetterOrNumber() || c.isSurrogate(); };
    for (int i = 0; i < text.size();) {
        while (i < text.size() && text[i].isSpace())
            ++i;
        int first = i;
        while (i < text.size() && !text[i].isSpace())
            ++i;
        int end = i;
        while (first < end && !wordly(text[first]))
            ++first;
        while (end > first && !wordly(text[end - 1]))
            --end;
        if (end > first)
            marked.words.push_back({first, end - first});
    }
    // espeak-ng's module drops a mark at the start of a sentence unless the sentence is marked up.
    const auto endsSentence = [&text](int wordStart) {
        for (int i = wordStart - 1; i >= 0; --i)
            if (!text[i].isSpace() && !QStringView(u"\"')]\u201D\u2019").contains(text[i]))
                return QStringView(u".!?\u2026\u3002\uFF01\uFF1F").contains(text[i]);
        return false;
    };
    QString ssml = QStringLiteral("<speak><s>");
    ssml.reserve(text.size() * 2 + 32);
    const int start = fromWord < int(marked.words.size()) ? marked.words[std::size_t(fromWord)].offset : int(text.size());
    int word = fromWord;
    for (int i = start; i < text.size(); ++i) {
        if (word < int(marked.words.size()) && marked.words[std::size_t(word)].offset == i) {
            if (word > fromWord && endsSentence(i))
                ssml += QStringLiteral("</s><s>");
            ssml += QStringLiteral("<mark name=\"%1\"/>").arg(word++);
        }
        const QChar c = text[i];
        if (c == u'&')
            ssml += QStringLiteral("&amp;");
        else if (c == u'<')
            ssml += QStringLiteral("&lt;");
        else if (c == u'>')
            ssml += QStringLiteral("&gt;");
        else if (c.unicode() < 0x20 && c != u'\n' && c != u'\t' && c != u'\r')
            ssml += u' '; // not allowed in XML
        else
            ssml += c;
    }
    ssml += QStringLiteral("</s></speak>");
    marked.ssml = ssml.toUtf8();
    return marked;
}

struct SystemVoices::Service {
    SPDConnection* connection;
};

QString SystemVoices::defaultCacheFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/velmor/system-voices.tsv");
}

std::unique_ptr<SystemVoices> SystemVoices::connect(const QString& cacheFile, Listing listing, bool* listingWanted,
                                                    QObject* parent)
{
    if (listingWanted)
        *listingWanted = false;
    {
        const std::lock_guard lock(g_instanceLock);
        if (g_instance)
            return nullptr;
    }
    char* error = nullptr;
    // No autospawn: a service the desktop does not run is not started behind its back.
    SPDConnection* connection = spd_open2("velmor", "voices", nullptr, SPD_MODE_THREADED, nullptr, 0, &error);
    std::free(error);
    if (!connection)
        return nullptr;
    const QStringList modules = toList(spd_list_modules(connection));
    std::optional<std::vector<SystemVoice>> voices = readCache(cacheFile, modules);
    if (!voices && listing == Listing::CachedOnly) {
        if (listingWanted)
            *listingWanted = true;
        spd_close(connection);
        return nullptr;
    }
    if (!voices) {
        voices = listVoices(connection, modules);
        writeCache(cacheFile, modules, *voices);
    }
    if (voices->empty()) {
        spd_close(connection);
        return nullptr;
    }
    return std::unique_ptr<SystemVoices>(new SystemVoices(std::make_unique<Service>(connection), std::move(*voices), parent));
}

SystemVoices::SystemVoices(std::unique_ptr<Service> service, std::vector<SystemVoice> voices, QObject* parent)
    : SpeechEngine(parent), m_service(std::move(service)), m_voices(std::move(voices))
{
    {
        const std::lock_guard lock(g_instanceLock);
        g_instance = this;
    }
    m_service->connection->callback_begin = onBegin;
    m_service->connection->callback_end = onEnd;
    m_service->connection->callback_cancel = onEnd;
    m_service->connection->callback_im = onMark;
    spd_set_notification_on(m_service->connection, SPD_BEGIN);
    spd_set_notification_on(m_service->connection, SPD_END);
    spd_set_notification_on(m_service->connection, SPD_CANCEL);
    spd_set_notification_on(m_service->connection, SPD_INDEX_MARKS);
    spd_set_data_mode(m_service->connection, SPD_DATA_SSML);
}

SystemVoices::~SystemVoices()
{
    {
        const std::lock_guard lock(g_instanceLock);
        g_instance = nullptr;
    }
    spd_cancel(m_service->connection);
    spd_close(m_service->connection);
}

const SystemVoice& SystemVoices::voice(int mode) const
{
    if (mode < 1 || mode > ModeCount())
        throw SpeechError(QStringLiteral("Speech mode %1 does not exist").arg(mode).toStdString());
    return m_voices[std::size_t(mode - 1)];
}

void SystemVoices::SelectMode(int mode)
{
    voice(mode);
    m_mode = mode;
}

QString SystemVoices::ModeNameOf(int mode) const { return systemModeName(voice(mode)); }
QString SystemVoices::SpeakerOf(int mode) const { return systemSpeaker(voice(mode)); }

QByteArray SystemVoices::voiceLanguageOf(int mode) const
{
    return voice(mode).language.toLower().replace(u'_', u'-').toUtf8();
}

std::vector<VoicePassage> SystemVoices::passagesOf(const QString& text) const
{
    return {{m_mode, voice(m_mode).name, text}};
}

void SystemVoices::applyVoiceAndRate()
{
    if (m_sentMode != m_mode) {
        const SystemVoice& chosen = voice(m_mode);
        spd_set_output_module(m_service->connection, chosen.module.toUtf8().constData());
        spd_set_synthesis_voice(m_service->connection, chosen.name.toUtf8().constData());
        m_sentMode = m_mode;
    }
    const int rate = systemRate(m_speed);
    if (m_sentRate != rate) {
        spd_set_voice_rate(m_service->connection, rate);
        m_sentRate = rate;
    }
}

void SystemVoices::send(Text& text, const QString& part)
{
    int begin = 0;
    do {
        const int end = pieceEnd(part, begin);
        Part piece;
        piece.text = part;
        piece.begin = begin;
        piece.length = end - begin;
        text.parts.push_back(std::move(piece));
        begin = end;
    } while (begin < part.size());
    sendWaiting();
}

// False when the piece has nothing left to say or the service refused it: it is finished.
bool SystemVoices::transmit(Part& part)
{
    const MarkedText marked = markWords(QStringView(part.text).mid(part.begin, part.length), part.from);
    if (part.words.empty())
        part.words = marked.words;
    part.waiting = false;
    part.message = 0;
    if (part.from >= int(part.words.size()))
        return false;
    applyVoiceAndRate();
    const int message = spd_say(m_service->connection, SPD_MESSAGE, marked.ssml.constData());
    part.message = message > 0 ? std::size_t(message) : 0;
    return part.message != 0;
}

void SystemVoices::sendWaiting()
{
    if (m_paused)
        return;
    int sent = 0;
    bool finished = false;
    for (Text& text : m_texts)
        for (Part& part : text.parts) {
            if (sent >= kPiecesSent)
                break;
            if (part.waiting && !transmit(part))
                finished = true;
            if (part.message != 0)
                ++sent;
        }
    if (finished)
        QMetaObject::invokeMethod(this, &SystemVoices::settle, Qt::QueuedConnection);
}

void SystemVoices::SpeakText(const QString& text)
{
    if (!m_texts.empty() && !m_texts.back().complete) {
        m_heldBack.push_back(text);
        return;
    }
    m_texts.push_back({{}, true, false});
    send(m_texts.back(), text);
}

void SystemVoices::SpeakFirstPart(const QString& part)
{
    if (!m_texts.empty() && !m_texts.back().complete)
        SpeakLastPart({});
    m_texts.push_back({{}, false, false});
    send(m_texts.back(), part);
}

bool SystemVoices::SpeakLastPart(const QString& part)
{
    if (m_texts.empty() || m_texts.back().complete)
        return false;
    m_texts.back().complete = true;
    send(m_texts.back(), part);
    for (const QString& held : std::exchange(m_heldBack, {}))
        SpeakText(held);
    return true;
}

void SystemVoices::ResetAudio()
{
    spd_cancel(m_service->connection);
    m_paused = false;
    ++m_generation;
    const bool started = !m_texts.empty() && m_texts.front().started;
    m_texts.clear();
    m_heldBack.clear();
    if (started)
        emit OnTextDataDiscarded();
}

void SystemVoices::PauseAudio()
{
    if (m_paused)
        return;
    m_paused = true;
    bool sent = false;
    for (Text& text : m_texts)
        for (Part& part : text.parts)
            if (part.message != 0) {
                part.message = 0;
                part.waiting = true;
                part.from = std::max(part.from, part.heard);
                sent = true;
            }
    if (sent)
        spd_cancel(m_service->connection);
}

void SystemVoices::ResumeAudio()
{
    if (!m_paused)
        return;
    m_paused = false;
    settle();
}

SystemVoices::Part* SystemVoices::partOf(std::size_t message, Text** owner)
{
    for (Text& text : m_texts)
        for (Part& part : text.parts)
            if (part.message == message) {
                *owner = &text;
                return &part;
            }
    return nullptr;
}

void SystemVoices::handle(const Event& event)
{
    Text* owner = nullptr;
    Part* part = partOf(event.message, &owner);
    if (!part)
        return; // a message of texts reset since
    if (event.kind == EventKind::Mark) {
        if (event.mark >= 0 && event.mark < int(part->words.size())) {
            part->heard = event.mark;
            if (owner->started) {
                const MarkedText::Word word = part->words[std::size_t(event.mark)];
                const QString spoken = part->text;
                emit OnWordHeard(spoken, part->begin + word.offset, word.length);
            }
        }
        return;
    }
    if (event.kind == EventKind::Begin) {
        if (!owner->started && owner == &m_texts.front()) {
            owner->started = true;
            emit OnTextDataStarted();
        }
        return;
    }
    part->message = 0;
    settle();
}

void SystemVoices::settle()
{
    const std::uint64_t generation = m_generation;
    settleTexts();
    if (generation == m_generation)
        sendWaiting();
}

// Reports the texts at the front that are heard to their ends.
void SystemVoices::settleTexts()
{
    const std::uint64_t generation = m_generation;
    while (!m_paused && generation == m_generation && !m_texts.empty()) {
        Text& front = m_texts.front();
        if (!front.complete || !std::all_of(front.parts.begin(), front.parts.end(), [](const Part& p) { return p.finished(); }))
            return;
        if (!front.started) {
            front.started = true;
            emit OnTextDataStarted();
            if (generation != m_generation)
                return;
        }
        m_texts.pop_front();
        emit OnTextDataDone();
    }
}

} // namespace velmor
