#include "speech/JapaneseSpelling.h"

#include "speech/Scripts.h"

namespace velmor {

namespace {

const QString kARow = QStringLiteral("アカサタナハマヤラワガザダバパァャヮ");
const QString kIRow = QStringLiteral("イキシチニヒミリギジヂビピィ");
const QString kURow = QStringLiteral("ウクスツヌフムユルグズヅブプゥュヴ");
const QString kERow = QStringLiteral("エケセテネヘメレゲゼデベペェ");
const QString kORow = QStringLiteral("オコソトノホモヨロヲゴゾドボポォョ");

// The vowel a katakana ends in, or null for ン, ッ and whatever is not a kana.
QChar vowelOf(QChar kana)
{
    if (kana.unicode() >= 0x3041 && kana.unicode() <= 0x3096)
        kana = QChar(kana.unicode() + 0x60);
    const std::pair<const QString*, QChar> rows[] = {
        {&kARow, u'ア'}, {&kIRow, u'イ'}, {&kURow, u'ウ'}, {&kERow, u'エ'}, {&kORow, u'オ'}};
    for (const auto& [row, vowel] : rows)
        if (row->contains(kana))
            return vowel;
    return {};
}

// The voice spells out a small kana, ッ or ー that starts a word.
bool canStartWord(QChar kana)
{
    return !QStringView(u"ァィゥェォャュョヮッーぁぃぅぇぉゃゅょゎっ").contains(kana);
}

bool endsInKana(const PreparedText& prepared)
{
    return !prepared.text.isEmpty() && scriptOf(prepared.text.back().unicode()) == Script::Kana;
}

} // namespace

QString spokenForm(QString reading, bool writtenInKanjiAlone)
{
    if (!writtenInKanjiAlone && !reading.contains(u'ヲ') && !reading.contains(u'を'))
        return reading;
    for (qsizetype i = 0; i < reading.size(); ++i) {
        if (reading[i] == u'ヲ' || reading[i] == u'を')
            reading[i] = u'オ';
        else if (writtenInKanjiAlone && i > 0 && reading[i] == u'イ' && kERow.contains(reading[i - 1]))
            reading[i] = u'ー';
    }
    return reading;
}

bool spelledOutWhenJoined(QStringView before, QStringView after)
{
    if (before.isEmpty() || after.size() < 2 || after[1] != u'ー')
        return false;
    const QChar vowel = vowelOf(before.back());
    return !vowel.isNull() && vowelOf(after[0]) == vowel && QStringView(u"アイウエオあいうえお").contains(after[0]);
}

void separateWord(PreparedText& prepared, QStringView reading, bool startsPhrase)
{
    if (!reading.isEmpty() && endsInKana(prepared) && scriptOf(reading.front().unicode()) == Script::Kana
        && ((startsPhrase && canStartWord(reading.front())) || spelledOutWhenJoined(prepared.text, reading)))
        prepared.append(u" ", prepared.sources.back());
}

void appendWordReading(PreparedText& prepared, QStringView reading, SourceSpan from, bool startsPhrase)
{
    separateWord(prepared, reading, startsPhrase);
    // A reading may hold the join itself (カアー as an interjection is written).
    qsizetype done = 0;
    for (qsizetype at = 1; at + 1 < reading.size(); ++at) {
        if (spelledOutWhenJoined(reading.first(at), reading.sliced(at))) {
            prepared.append(reading.sliced(done, at - done), from);
            prepared.append(u" ", from);
            done = at;
        }
    }
    prepared.append(reading.sliced(done), from);
}

} // namespace velmor
