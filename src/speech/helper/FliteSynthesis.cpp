#include "speech/helper/FliteSynthesis.h"

#include <flite/flite.h>
#include <samplerate.h>

#include <algorithm>
#include <array>
#include <cmath>

extern "C" {
cst_voice* register_cmu_us_slt(const char* voxdir);
cst_voice* register_cmu_us_rms(const char* voxdir);
cst_voice* register_cmu_us_awb(const char* voxdir);
cst_voice* register_cmu_us_kal16(const char* voxdir);
}

namespace velmor::synthesis {

namespace {

struct BuiltInVoice {
    std::string_view name; // after the prefix
    cst_voice* (*registerVoice)(const char*);
};

constexpr std::array<BuiltInVoice, 4> kBuiltInVoices{{
    {"slt", register_cmu_us_slt},
    {"rms", register_cmu_us_rms},
    {"awb", register_cmu_us_awb},
    {"kal16", register_cmu_us_kal16},
}};

const BuiltInVoice* builtInVoice(std::string_view voice)
{
    if (!isFliteVoice(voice))
        return nullptr;
    const std::string_view name = voice.substr(kFliteVoicePrefix.size());
    for (const BuiltInVoice& v : kBuiltInVoices)
        if (v.name == name)
            return &v;
    return nullptr;
}

// Audio is handed over in pieces this long, so that a Cancel is heard between them.
constexpr std::size_t kSamplesPerMessage = 4096;
// Flite's slowest and fastest stretch of its own durations.
constexpr float kLongestStretch = 4.0f;
constexpr float kShortestStretch = 0.2f;
// A sentence longer than this is cut at a blank: one utterance is synthesized whole before any
// of it is heard. The first is kept short, as nothing sounds before it is made.
// A Cancel waits for the utterance being made, so a long sentence is also cut after a clause
// that is long enough to keep its own melody.
constexpr std::size_t kFirstPieceBytes = 24;
constexpr std::size_t kMaxPieceBytes = 240;

constexpr std::size_t kClauseBytes = 40;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::int32_t codePointsIn(std::string_view utf8)
{
    return std::int32_t(std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The utterance of one piece of text, freed when it goes.
struct Utterance {
    cst_utterance* utterance;
    explicit Utterance(cst_utterance* u) : utterance(u) { }
    ~Utterance()
    {
        if (utterance)
            delete_utterance(utterance);
    }
    Utterance(const Utterance&) = delete;
    Utterance& operator=(const Utterance&) = delete;
};

// Sound of one rate made into another, with libsamplerate.
std::vector<short> resampled(const short* samples, std::size_t count, int fromRate, int toRate)
{
    if (fromRate == toRate || count == 0)
        return std::vector<short>(samples, samples + count);
    const double ratio = double(toRate) / double(fromRate);
    std::vector<float> in(count);
    src_short_to_float_array(samples, in.data(), int(count));
    std::vector<float> out(std::size_t(std::ceil(double(count) * ratio)) + 16);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = long(count);
    data.data_out = out.data();
    data.output_frames = long(out.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_FASTEST, 1) != 0)
        return {};
    std::vector<short> result(std::size_t(data.output_frames_gen));
    src_float_to_short_array(out.data(), result.data(), int(result.size()));
    return result;
}

// When the first sound of a token's first word begins, in seconds; negative for a token that
// makes no sound (a symbol the lexicon has no letters for).
float soundStart(const cst_item* word)
{
    const cst_item* syllables = word ? item_as(word, "SylStructure") : nullptr;
    const cst_item* firstSyllable = syllables ? item_daughter(syllables) : nullptr;
    if (!firstSyllable || !item_daughter(firstSyllable))
        return -1.0f;
    return std::max(ffeature_float(word, "R:SylStructure.daughter1.daughter1.R:Segment.p.end"), 0.0f);
}

} // namespace

std::vector<TextSpan> placeTokens(std::string_view text, const std::vector<std::string>& tokens)
{
    std::vector<TextSpan> spans;
    spans.reserve(tokens.size());
    std::size_t cursor = 0;
    for (const std::string& token : tokens) {
        const std::size_t at = token.empty() ? std::string_view::npos : text.find(token, cursor);
        if (at == std::string_view::npos) {
            spans.push_back({cursor, cursor});
            continue;
        }
        spans.push_back({at, at + token.size()});
        cursor = at + token.size();
    }
    return spans;
}

std::vector<TextSpan> utterancePieces(std::string_view text, std::size_t firstMaxBytes, std::size_t maxBytes)
{
    std::vector<TextSpan> pieces;
    std::size_t begin = 0;
    std::size_t lastBlank = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool followedByBlank = i + 1 < text.size() && isBlank(text[i + 1]);
        const bool sentenceEnds = (c == '.' || c == '!' || c == '?') && followedByBlank;
        const bool longClauseEnds = (c == ',' || c == ';' || c == ':') && followedByBlank && i + 1 - begin >= kClauseBytes;
        if (isBlank(c) && i > begin)
            lastBlank = i;
        std::size_t end = 0;
        if (sentenceEnds || longClauseEnds || c == '\n')
            end = i + 1;
        else if (i + 1 - begin >= (pieces.empty() ? firstMaxBytes : maxBytes) && lastBlank > begin)
            end = lastBlank + 1;
        if (end > begin) {
            pieces.push_back({begin, end});
            begin = end;
            lastBlank = begin;
        }
    }
    if (begin < text.size())
        pieces.push_back({begin, text.size()});
    return pieces;
}

struct FliteSynthesizer::Voices {
    std::array<cst_voice*, kBuiltInVoices.size()> loaded{};

    cst_voice* get(std::string_view voice)
    {
        const BuiltInVoice* builtIn = builtInVoice(voice);
        if (!builtIn)
            return nullptr;
        cst_voice*& slot = loaded[std::size_t(builtIn - kBuiltInVoices.data())];
        if (!slot)
            slot = builtIn->registerVoice(nullptr);
        return slot;
    }
};

FliteSynthesizer::FliteSynthesizer(int outputRate) : m_voices(std::make_unique<Voices>()), m_outputRate(outputRate)
{
    flite_init();
}

FliteSynthesizer::~FliteSynthesizer() = default;

bool FliteSynthesizer::knows(std::string_view voice) { return builtInVoice(voice) != nullptr; }

bool FliteSynthesizer::synthesize(std::string_view voiceName, int wordsPerMinute, std::string_view text, const Sink& sink)
{
    cst_voice* voice = m_voices->get(voiceName);
    if (!voice)
        return true;
    const float stretch = wordsPerMinute > 0 ? float(kFliteOwnRate) / float(wordsPerMinute) : 1.0f;
    feat_set_float(voice->features, "duration_stretch", std::clamp(stretch, kShortestStretch, kLongestStretch));

    std::int64_t samplesSent = 0;
    for (const TextSpan& piece : utterancePieces(text, kFirstPieceBytes, kMaxPieceBytes)) {
        const std::string pieceText(text.substr(piece.begin, piece.end - piece.begin));
        if (std::all_of(pieceText.begin(), pieceText.end(), isBlank))
            continue;
        const Utterance utterance(flite_synth_text(pieceText.c_str(), voice));
        const cst_wave* wave = utterance.utterance ? utt_wave(utterance.utterance) : nullptr;
        if (!wave || wave->num_samples <= 0)
            continue;
        const double outputPerSecond = double(m_outputRate);

        std::vector<std::string> tokens;
        std::vector<float> wordStarts; // seconds; negative for a token that makes no word
        for (const cst_item* token = relation_head(utt_relation(utterance.utterance, "Token")); token;
             token = item_next(token)) {
            tokens.emplace_back(item_name(token));
            wordStarts.push_back(soundStart(item_daughter(token)));
        }
        const std::vector<TextSpan> spans = placeTokens(pieceText, tokens);
        const std::int32_t pieceStart = codePointsIn(text.substr(0, piece.begin));
        std::vector<SynthesisEvent> events;
        for (std::size_t i = 0; i < spans.size(); ++i) {
            if (wordStarts[i] < 0 || spans[i].end == spans[i].begin)
                continue;
            const std::int32_t position = pieceStart + codePointsIn(std::string_view(pieceText).substr(0, spans[i].begin)) + 1;
            const std::int32_t length = codePointsIn(std::string_view(pieceText).substr(spans[i].begin, spans[i].end - spans[i].begin));
            events.push_back({EventType::Word, position, length,
                              samplesSent + std::int64_t(std::lround(double(wordStarts[i]) * outputPerSecond))});
        }

        const std::vector<short> sound = resampled(wave->samples, std::size_t(wave->num_samples), wave->sample_rate, m_outputRate);
        for (std::size_t at = 0; at < sound.size() || !events.empty(); at += kSamplesPerMessage) {
            const auto count = std::uint32_t(std::min(kSamplesPerMessage, sound.size() - std::min(at, sound.size())));
            const bool goesOn = sink(sound.data() + std::min(at, sound.size()), count, events);
            events.clear();
            if (!goesOn)
                return false;
            if (count == 0)
                break;
        }
        samplesSent += std::int64_t(sound.size());
    }
    return true;
}

std::string FliteSynthesizer::phones(std::string_view voiceName, std::string_view text)
{
    cst_voice* voice = m_voices->get(voiceName);
    if (!voice)
        return {};
    const std::string whole(text);
    const Utterance utterance(flite_synth_text(whole.c_str(), voice));
    std::string phones;
    if (!utterance.utterance)
        return phones;
    for (const cst_item* segment = relation_head(utt_relation(utterance.utterance, "Segment")); segment;
         segment = item_next(segment))
        phones.append(item_name(segment)).push_back(' ');
    return phones;
}

} // namespace velmor::synthesis
