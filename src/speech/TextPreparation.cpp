#include "speech/TextPreparation.h"

#include "core/Abbreviations.h"
#include "speech/JapaneseReader.h"
#include "speech/Scripts.h"

#include <QByteArrayList>
#include <QChar>
#include <algorithm>

namespace velmor {

namespace {

// espeak-ng's language for a passage the selected voice cannot read.
QByteArray languageOf(const ScriptPassage& passage)
{
    switch (passage.kind) {
    case PassageKind::Japanese: return QByteArrayLiteral("ja");
    case PassageKind::Chinese: return QByteArrayLiteral("cmn");
    case PassageKind::Korean: return QByteArrayLiteral("ko");
    case PassageKind::Cyrillic: return QByteArrayLiteral("ru");
    case PassageKind::Other: return passage.otherLanguage;
    case PassageKind::Latin: break;
    }
    return {};
}

void appendVerbatim(std::vector<SpeechPassage>& out, const QByteArray& language, QStringView whole, int begin, int end)
{
    if (out.empty() || out.back().language != language)
        out.push_back({language, {}});
    out.back().prepared.appendVerbatim(whole.sliced(begin, end - begin), begin);
}

bool endsSentence(QStringView text, int at)
{
    const QChar c = text[at];
    const QChar next = at + 1 < text.size() ? text[at + 1] : QChar();
    switch (c.unicode()) {
    case u'。': case u'！': case u'？': case u'!': case u'?': case u'\n': case u'\r':
        return true;
    case u'.':
        return (next.isSpace() || next.isNull()) && !abbreviationKeepsSentence(text, at);
    default:
        return false;
    }
}

bool closesQuote(QChar c)
{
    switch (c.unicode()) {
    case u'」': case u'』': case u'）': case u')': case u'"': case u'\'': case u'”': case u'’': case u'】':
        return true;
    default:
        return false;
    }
}

// Scripts that espeak-ng 1.51 reads with another language's rules when the voice meets them, and
// then may read freed memory (Hangul in any other voice, Devanagari in a Latin one): passages in
// them always go to a voice of their own language.
bool alwaysToItsOwnVoice(const ScriptPassage& passage)
{
    return passage.kind == PassageKind::Korean || (passage.kind == PassageKind::Other && !passage.otherLanguage.isEmpty());
}

// The script of the nearest letter outside kanji, looking from text[at] one way (step -1 or 1)
// over kanji, digits and signs, no further than a piece's length.
Script nearestLetterScript(QStringView text, int at, int step)
{
    for (int seen = 0; at >= 0 && at < text.size() && seen < kMaxPieceLength; at += step, ++seen) {
        const Script script = scriptOf(text[at].unicode());
        if (script != Script::Neutral && script != Script::Han && !text[at].isSurrogate())
            return script;
    }
    return Script::Neutral;
}

// Kanji alone (東京駅 on a line of its own) are Japanese where the text next to them is.
void takeJapaneseFromAround(std::vector<ScriptPassage>& passages, QStringView whole, int begin)
{
    for (ScriptPassage& passage : passages)
        if (passage.kind == PassageKind::Chinese
            && (nearestLetterScript(whole, begin + passage.begin - 1, -1) == Script::Kana
                || nearestLetterScript(whole, begin + passage.end, 1) == Script::Kana))
            passage.kind = PassageKind::Japanese;
}

bool hasLatinLetter(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return scriptOf(c.unicode()) == Script::Latin; });
}

} // namespace

TextPreparer::TextPreparer(PreparationOptions options, const JapaneseReader* reader)
    : m_options(std::move(options)), m_reader(reader), m_native(nativeKindOf(m_options.voiceLanguage)),
      m_voiceTag(m_options.voiceLanguage.split('-').constFirst())
{
}

const JapaneseReader& TextPreparer::reader() const
{
    return m_reader ? *m_reader : JapaneseReader::system();
}

// A voice whose language is not written in Latin letters switches by itself to another language's
// rules for letters of a third script, and espeak-ng 1.51 then reads freed memory (the Korean voice
// on Devanagari, the Georgian one on Devanagari vowel signs). Handing such passages to a voice of
// their own language is what the voice would have done, without the fault.
bool TextPreparer::changesText(QStringView text) const
{
    if (m_options.rules && !m_options.rules->empty())
        return true;
    if (m_options.autoLanguage || m_native != PassageKind::Latin)
        return true;
    for (int at = 0; at < text.size();) {
        const CodePoint point = codePointAt(text, at);
        const Script script = scriptOf(point.value);
        if (script == Script::Hangul || script == Script::Other)
            return true;
        at = point.next;
    }
    return false;
}

void TextPreparer::readJapanese(QStringView whole, int begin, int end, const QByteArray& language,
                                std::vector<SpeechPassage>& out) const
{
    std::vector<SpeechPassage> read;
    reader().read(whole, begin, end, read);
    for (SpeechPassage& passage : read) {
        if (passage.language.isEmpty())
            passage.language = language;
        if (!out.empty() && out.back().language == passage.language) {
            PreparedText& last = out.back().prepared;
            last.text += passage.prepared.text;
            last.sources.insert(last.sources.end(), passage.prepared.sources.begin(), passage.prepared.sources.end());
        } else {
            out.push_back(std::move(passage));
        }
    }
}

// The listener's rules come first; the rest reads their result, and every position is carried
// back through them to the user's text.
std::vector<SpeechPassage> TextPreparer::prepare(QStringView whole, int begin, int end) const
{
    if (!m_options.rules || m_options.rules->empty())
        return prepareAfterRules(whole, begin, end);
    const PreparedText ruled = m_options.rules->apply(whole, begin, end, m_options.voiceLanguage);
    std::vector<SpeechPassage> out = prepareAfterRules(ruled.text, 0, int(ruled.text.size()));
    for (SpeechPassage& passage : out)
        for (SourceSpan& source : passage.prepared.sources)
            source = ruled.sourceOf(source.begin, source.end);
    return out;
}

std::vector<SpeechPassage> TextPreparer::prepareAfterRules(QStringView whole, int begin, int end) const
{
    std::vector<SpeechPassage> out;
    const PassageKind native = m_native;
    const auto selectedVoiceReads = [this, native](const ScriptPassage& passage) {
        const bool nativeScript = passage.kind == native && (native != PassageKind::Other || passage.otherLanguage == m_voiceTag);
        if (native == PassageKind::Latin && !m_options.autoLanguage && !alwaysToItsOwnVoice(passage))
            return true;
        return passage.kind == PassageKind::Latin || nativeScript
            || (native == PassageKind::Japanese && passage.kind == PassageKind::Chinese) || languageOf(passage).isEmpty();
    };
    std::vector<ScriptPassage> passages = splitByScript(whole.sliced(begin, end - begin));
    takeJapaneseFromAround(passages, whole, begin);
    // Without auto language, text the voice reads stays whole, as context for its readings.
    if (!m_options.autoLanguage && std::all_of(passages.begin(), passages.end(), selectedVoiceReads)) {
        if (native == PassageKind::Japanese)
            readJapanese(whole, begin, end, {}, out);
        else
            appendVerbatim(out, {}, whole, begin, end);
        return out;
    }
    for (const ScriptPassage& passage : passages) {
        const int from = begin + passage.begin;
        const int to = begin + passage.end;
        // With auto language a Japanese voice leaves Latin text whole, its numbers too, to the
        // voice that reads Latin words in Japanese text.
        if (m_options.autoLanguage && native == PassageKind::Japanese && passage.kind == PassageKind::Latin
            && hasLatinLetter(whole.sliced(from, to - from)))
            appendVerbatim(out, kLatinInJapaneseLanguage, whole, from, to);
        else if (selectedVoiceReads(passage) && native == PassageKind::Japanese)
            readJapanese(whole, from, to, {}, out);
        else if (selectedVoiceReads(passage))
            appendVerbatim(out, {}, whole, from, to);
        else if (passage.kind == PassageKind::Japanese)
            readJapanese(whole, from, to, languageOf(passage), out);
        else
            appendVerbatim(out, languageOf(passage), whole, from, to);
    }
    return out;
}

int pieceEnd(QStringView text, int begin)
{
    const int size = int(text.size());
    const int limit = std::min(size, begin + kMaxPieceLength);
    int lastBreak = -1;
    for (int i = begin; i < limit; ++i) {
        const QChar c = text[i];
        // Kana and kanji neither end a sentence nor break a line: passed over at once.
        if (c.unicode() > u'。' && c.unicode() < u'！')
            continue;
        if (endsSentence(text, i)) {
            int end = i + 1;
            while (end < size && (closesQuote(text[end]) || text[end].isSpace()))
                ++end;
            return end;
        }
        if (c.isSpace() || c == u'、' || c == u',')
            lastBreak = i + 1;
    }
    if (limit == size)
        return size;
    if (lastBreak > begin)
        return lastBreak;
    // Never between the two halves of a character.
    return text[limit - 1].isHighSurrogate() ? limit + 1 : limit;
}

int partEnd(QStringView text, int begin, int maxLength)
{
    const int size = int(text.size());
    const int limit = std::min(size, begin + maxLength);
    int lineEnd = -1;
    int blankEnd = -1;
    for (int i = limit - 1; i >= begin; --i) {
        const QChar c = text[i];
        const bool lineBreak = c == u'\n' || (c == u'\r' && (i + 1 == size || text[i + 1] != u'\n'));
        if (lineBreak && lineEnd < 0)
            lineEnd = i + 1;
        if (!lineBreak && c != u'\r' && i + 1 < size && endsSentence(text, i)) {
            int end = i + 1;
            while (end < limit && (closesQuote(text[end]) || text[end].isSpace()))
                ++end;
            return end;
        }
        if (blankEnd < 0 && (c.isSpace() || c == u'、' || c == u','))
            blankEnd = i + 1;
    }
    if (lineEnd > begin)
        return lineEnd;
    if (blankEnd > begin)
        return blankEnd;
    return text[limit - 1].isHighSurrogate() && limit - 1 > begin ? limit - 1 : limit;
}

bool endsWithSentence(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && (closesQuote(text[end - 1]) || text[end - 1].isSpace()))
        --end;
    return end > 0 && endsSentence(text.first(end), int(end - 1));
}

} // namespace velmor
