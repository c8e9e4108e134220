#include "speech/JapaneseSpelling.h"

#include "speech/Scripts.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

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
    // Asked at every join of two words: a table over the katakana block.
    constexpr char16_t kFirstKatakana = 0x30A0;
    static const std::array<char16_t, 0x60> kVowels = [] {
        std::array<char16_t, 0x60> vowels{};
        const std::pair<const QString*, char16_t> rows[] = {
            {&kARow, u'ア'}, {&kIRow, u'イ'}, {&kURow, u'ウ'}, {&kERow, u'エ'}, {&kORow, u'オ'}};
        for (const auto& [row, vowel] : rows)
            for (QChar c : *row)
                vowels[std::size_t(c.unicode() - kFirstKatakana)] = vowel;
        return vowels;
    }();
    char16_t c = kana.unicode();
    if (c >= 0x3041 && c <= 0x3096)
        c = char16_t(c + 0x60);
    return c >= kFirstKatakana && c < kFirstKatakana + kVowels.size() ? QChar(kVowels[c - kFirstKatakana]) : QChar();
}

// The voice spells out a small kana, ッ or ー that starts a word.
bool canStartWord(QChar kana)
{
    constexpr std::u16string_view kCannot = u"ァィゥェォャュョヮッーぁぃぅぇぉゃゅょゎっ";
    return kCannot.find(kana.unicode()) == std::u16string_view::npos;
}

bool endsInKana(const PreparedText& prepared)
{
    return !prepared.text.isEmpty() && scriptOf(prepared.text.back().unicode()) == Script::Kana;
}

} // namespace

QString spokenForm(QString reading, bool writtenInKanjiAlone)
{
    if (!writtenInKanjiAlone && std::none_of(reading.cbegin(), reading.cend(), [](QChar c) { return c == u'ヲ' || c == u'を'; }))
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
        && ((startsPhrase && canStartWord(reading.front())) || spelledOutWhenJoined(prepared.text, reading))) {
        const SourceSpan before = prepared.sources.back();
        prepared.text.append(u' ');
        prepared.sources.push_back(before);
    }
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
