#include "QtPrinters.h"

#include "speech/JapaneseReader.h"
#include "speech/JapaneseSpelling.h"
#include "speech/Scripts.h"
#include "speech/TextPreparation.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <limits>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef __SANITIZE_ADDRESS__
// MeCab keeps what it had allocated when a dictionary fails to open (the broken supplement below);
// the sanitizer's runtime looks this up by name, so it stays visible under the build's hidden symbols.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:libmecab.so\n";
}
#endif

using velmor::JapaneseReader;
using velmor::PassageKind;
using velmor::PreparationOptions;
using velmor::SpeechPassage;
using velmor::TextPreparer;

namespace {

const QByteArray kJapanese = QByteArrayLiteral("ja");

std::vector<SpeechPassage> prepareWhole(const TextPreparer& preparer, const QString& text)
{
    return preparer.prepare(text, 0, int(text.size()));
}

// The passages as "[language]text" one after another.
QString shown(const std::vector<SpeechPassage>& passages)
{
    QString result;
    for (const SpeechPassage& passage : passages)
        result += u'[' + QString::fromLatin1(passage.language) + u']' + passage.prepared.text;
    return result;
}

bool hasKanji(const QString& text)
{
    for (int at = 0; at < text.size(); at = velmor::codePointAt(text, at).next)
        if (velmor::scriptOf(velmor::codePointAt(text, at).value) == velmor::Script::Han)
            return true;
    return false;
}

// Every prepared unit maps to a non-empty span inside the source; spans follow the text's order
// and two of them are the same word or do not overlap; a unit passed on unchanged maps to its
// own source unit; and every kana or kanji of the source is covered by some span.
void expectPositionMap(const QString& source, const std::vector<SpeechPassage>& passages, bool everyKanjiRead = true)
{
    const std::string where = source.toStdString();
    std::vector<bool> covered(std::size_t(source.size()), false);
    velmor::SourceSpan previous{0, 0};
    for (const SpeechPassage& passage : passages) {
        const velmor::PreparedText& prepared = passage.prepared;
        ASSERT_EQ(prepared.sources.size(), std::size_t(prepared.text.size())) << where;
        for (std::size_t i = 0; i < prepared.sources.size(); ++i) {
            const velmor::SourceSpan span = prepared.sources[i];
            ASSERT_TRUE(0 <= span.begin && span.begin < span.end && span.end <= source.size()) << where;
            EXPECT_TRUE(span == previous || span.begin >= previous.end) << where << " at " << i;
            const QChar unit = prepared.text[qsizetype(i)];
            if (velmor::scriptOf(unit.unicode()) == velmor::Script::Latin) {
                EXPECT_EQ(span.end - span.begin, 1) << where << " at " << i;
                EXPECT_EQ(source[span.begin], unit) << where << " at " << i;
            }
            for (int at = span.begin; at < span.end; ++at)
                covered[std::size_t(at)] = true;
            previous = span;
        }
    }
    for (int at = 0; at < source.size(); ++at) {
        const velmor::Script script = velmor::scriptOf(source[at].unicode());
        if (script == velmor::Script::Kana || (everyKanjiRead && script == velmor::Script::Han)) {
            EXPECT_TRUE(covered[std::size_t(at)]) << where << ": nothing reads " << QString(source[at]).toStdString();
        }
    }
}

} // namespace

TEST(JapaneseReadings, KanjiAreReadInKatakanaWithPronouncedParticlesAndLongVowels)
{
    const TextPreparer preparer({kJapanese, false});
    EXPECT_EQ(shown(prepareWhole(preparer, QStringLiteral("今日は良い天気です"))), QStringLiteral("[]キョーワ ヨイ テンキデス"));
    EXPECT_EQ(shown(prepareWhole(preparer, QStringLiteral("東京へ行きます。"))), QStringLiteral("[]トーキョーエ イキマス。"));
    // The long e of a Sino-Japanese word and を as the voice says them right; a space, which the
    // voice takes for a word boundary without a pause, keeps の from running into 大きな.
    EXPECT_EQ(shown(prepareWhole(preparer, QStringLiteral("政府の映画を見た。日本の大きな川。"))),
              QStringLiteral("[]セーフノ エーガオ ミタ。ニッポンノ オーキナ カワ。"));
    // Latin words go to the English voice; spaces stay with the passage they follow.
    EXPECT_EQ(shown(prepareWhole(preparer, QStringLiteral("Velmorで読む Hello world"))),
              QStringLiteral("[en-us]Velmor[]デ ヨム [en-us]Hello world"));
}

TEST(JapaneseReadings, UnknownWordsAreReadKanjiByKanjiAndNoKanjiIsLeft)
{
    const TextPreparer preparer({kJapanese, false});
    // Kanji that MeCab knows only inside words it does not find here, or not at all.
    EXPECT_EQ(shown(prepareWhole(preparer, QStringLiteral("鬯彁"))), QStringLiteral("[]チョーカ"));
    // Rare names and character forms outside every dictionary: left out rather than heard as
    // "Chinese letter".
    for (const QString& text : {QStringLiteral("髙橋さんと𠮷田さん"), QStringLiteral("麤鬯齉"), QStringLiteral("彁")}) {
        const std::vector<SpeechPassage> passages = prepareWhole(preparer, text);
        for (const SpeechPassage& passage : passages)
            EXPECT_FALSE(hasKanji(passage.prepared.text)) << shown(passages).toStdString();
        expectPositionMap(text, passages, false);
    }
}

TEST(JapaneseReadings, PositionsMapBackIntoTheWordsTheyRead)
{
    const TextPreparer preparer({kJapanese, false});
    const QString text = QStringLiteral("今日は、Velmorで東京の天気を聞く。\r\n明日も晴れ？");
    const std::vector<SpeechPassage> passages = prepareWhole(preparer, text);
    expectPositionMap(text, passages);
    // キョー reads 今日, ワ reads は, and the English word is itself.
    const velmor::PreparedText& first = passages.front().prepared;
    EXPECT_EQ(first.sourceOf(0, 3), (velmor::SourceSpan{0, 2}));
    EXPECT_EQ(first.sourceOf(3, 4), (velmor::SourceSpan{2, 3}));
    EXPECT_EQ(passages[1].language, velmor::kLatinInJapaneseLanguage);
    EXPECT_EQ(passages[1].prepared.sourceOf(0, 6), (velmor::SourceSpan{4, 10}));
}

// Names and words the system dictionary reads wrong come from the supplement compiled with the
// program; a supplement MeCab cannot open costs only those words.
TEST(JapaneseReadings, TheSupplementDictionaryReadsWordsTheSystemDictionaryGetsWrong)
{
    const QString folder = QStringLiteral("/var/lib/mecab/dic/ipadic-utf8");
    const QString text = QStringLiteral("電源ボタンを長押しする");
    const JapaneseReader withSupplement(folder, JapaneseReader::supplementDictionary());
    ASSERT_TRUE(withSupplement.isAvailable()) << withSupplement.problem().toStdString();
    EXPECT_EQ(withSupplement.readingOf(text), QStringLiteral("デンゲン ボタンオ ナガオシスル"));
    EXPECT_EQ(withSupplement.readingOf(QStringLiteral("小鳥遊")), QStringLiteral("タカナシ"));

    QTemporaryDir scratch;
    QFile broken(scratch.filePath(QStringLiteral("words.dic")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a dictionary");
    broken.close();
    const JapaneseReader withBrokenSupplement(folder, broken.fileName());
    ASSERT_TRUE(withBrokenSupplement.isAvailable());
    EXPECT_EQ(withBrokenSupplement.readingOf(text), QStringLiteral("デンゲン ボタンオ ナゲシ シスル"));
}

TEST(JapaneseReadings, WithoutTheDictionaryJapaneseIsSpokenAsItIs)
{
    QTemporaryDir empty;
    const JapaneseReader reader(empty.path());
    EXPECT_FALSE(reader.isAvailable());
    EXPECT_TRUE(reader.problem().contains(QStringLiteral("mecab-ipadic-utf8")));
    const TextPreparer preparer({kJapanese, false}, &reader);
    const QString text = QStringLiteral("今日は良い天気です");
    EXPECT_EQ(shown(prepareWhole(preparer, text)), QStringLiteral("[]") + text);
}

TEST(ScriptDetection, MixedTextsSplitIntoPassagesOfOneScript)
{
    struct Case {
        QString text;
        QStringList expected; // kind:text of each passage
    };
    const auto kindName = [](const velmor::ScriptPassage& passage) {
        switch (passage.kind) {
        case PassageKind::Latin: return QStringLiteral("Latin");
        case PassageKind::Japanese: return QStringLiteral("Japanese");
        case PassageKind::Chinese: return QStringLiteral("Chinese");
        case PassageKind::Korean: return QStringLiteral("Korean");
        case PassageKind::Cyrillic: return QStringLiteral("Cyrillic");
        case PassageKind::Other: return QStringLiteral("Other-") + QString::fromLatin1(passage.otherLanguage);
        }
        return QString();
    };
    const std::vector<Case> cases{
        {QStringLiteral("Hello, 世界は広い! 中国語 1234 안녕하세요 Привет мир. Γειά σου"),
         {QStringLiteral("Latin:Hello, "), QStringLiteral("Japanese:世界は広い! 中国語 1234 "),
          QStringLiteral("Korean:안녕하세요 "), QStringLiteral("Cyrillic:Привет мир. "),
          QStringLiteral("Other-el:Γειά σου")}},
        // Kanji alone are Chinese; the long-vowel mark and 々 belong to Japanese.
        {QStringLiteral("北京 and 東京ー 人々"),
         {QStringLiteral("Chinese:北京 "), QStringLiteral("Latin:and "), QStringLiteral("Japanese:東京ー 人々")}},
        {QStringLiteral("「12」 ABC"), {QStringLiteral("Latin:「12」 ABC")}},
        {QStringLiteral("𠮷野家"), {QStringLiteral("Chinese:𠮷野家")}},
        {QStringLiteral("..."), {QStringLiteral("Latin:...")}},
    };
    for (const Case& c : cases) {
        QStringList found;
        for (const velmor::ScriptPassage& passage : velmor::splitByScript(c.text))
            found << kindName(passage) + u':' + c.text.mid(passage.begin, passage.end - passage.begin);
        EXPECT_EQ(found, c.expected) << c.text.toStdString();
    }
}

// With auto language, a line of kanji alone in Japanese text is Japanese (in Chinese text it stays
// Chinese), and a Japanese voice leaves a Latin passage whole, its numbers too, to the English voice.
TEST(AutoLanguage, KanjiLinesTakeTheLanguageAroundThemAndLatinPassagesGoWholeToEnglish)
{
    const auto piecesOf = [](const TextPreparer& preparer, const QString& text) {
        QString result;
        for (int begin = 0; begin < text.size();) {
            const int end = velmor::pieceEnd(text, begin);
            result += shown(preparer.prepare(text, begin, end));
            begin = end;
        }
        return result;
    };
    const TextPreparer english({QByteArrayLiteral("en-us"), true});
    EXPECT_EQ(piecesOf(english, QStringLiteral("東京駅\n駅まで歩いた。\n品川\n")),
              QStringLiteral("[ja]トーキョーエキ\n[ja]エキマデ アルイタ。\n[ja]シナガワ\n"));
    EXPECT_EQ(piecesOf(english, QStringLiteral("北京\n我们去北京。\n")), QStringLiteral("[cmn]北京\n[cmn]我们去北京。\n"));

    const TextPreparer japanese({kJapanese, true});
    EXPECT_EQ(piecesOf(japanese, QStringLiteral("Meeting at 3 pm. 会議は3時です。")),
              QStringLiteral("[en-us]Meeting at 3 pm. []カイギワ サンジデス。"));
    // Without a Latin letter, numbers and signs stay with the Japanese voice.
    EXPECT_EQ(piecesOf(japanese, QStringLiteral("3\n")), QStringLiteral("[]サン\n"));
}

TEST(TextPieces, APieceEndsAfterASentenceOrLineAndLongStretchesAreCut)
{
    const QString text = QStringLiteral("今日は晴れ。「明日は？」 雨です\r\nNext line. 3.14 is pi");
    QStringList pieces;
    for (int begin = 0; begin < text.size();) {
        const int end = velmor::pieceEnd(text, begin);
        ASSERT_GT(end, begin);
        pieces << text.mid(begin, end - begin);
        begin = end;
    }
    EXPECT_EQ(pieces, (QStringList{QStringLiteral("今日は晴れ。"), QStringLiteral("「明日は？」 "), QStringLiteral("雨です\r\n"),
                                   QStringLiteral("Next line. "), QStringLiteral("3.14 is pi")}));
    const QString unbroken = QString(velmor::kMaxPieceLength * 2, u'あ');
    EXPECT_EQ(velmor::pieceEnd(unbroken, 0), velmor::kMaxPieceLength);
}

// A part handed to the engine ends where the whole text would break anyway: after a sentence,
// else a line, else a word, and never inside a character.
TEST(TextPieces, APartEndsAfterItsLastSentenceElseLineElseWord)
{
    EXPECT_EQ(velmor::partEnd(u"One. 「二。」 three 3.14 four five", 0, 20), 10);
    EXPECT_EQ(velmor::partEnd(u"one\ntwo three\nfour five six", 0, 20), 14);
    EXPECT_EQ(velmor::partEnd(u"one two, three four", 4, 12), 15);
    EXPECT_EQ(velmor::partEnd(u"あいう😀えお", 0, 4), 3);
}

namespace {

// What a reading sounds like, for comparing readings: katakana and Latin letters only, with
// the spellings of one sound made one (ヲ as オ, ヅ as ズ, long vowels as ー).
QString sound(const QString& reading)
{
    static const QString oRow = QStringLiteral("オコソトノホモヨロゴゾドボポョ");
    static const QString uRow = QStringLiteral("ウクスツヌフムユルグズヅブプュ");
    static const QString eRow = QStringLiteral("エケセテネヘメレゲゼデベペ");
    static const QString iRow = QStringLiteral("イキシチニヒミリギジヂビピ");
    QString result;
    for (QChar c : reading) {
        if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
            c = QChar(c.unicode() + 0x60);
        if (c == u'ヲ')
            c = u'オ';
        else if (c == u'ヅ')
            c = u'ズ';
        else if (c == u'ヂ')
            c = u'ジ';
        const bool kana = (c.unicode() >= 0x30A1 && c.unicode() <= 0x30FA) || c == u'ー';
        const bool latin = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (!kana && !latin)
            continue;
        if (!result.isEmpty()) {
            const QChar before = result.back();
            if ((c == u'ウ' && (oRow.contains(before) || uRow.contains(before))) || (c == u'オ' && oRow.contains(before))
                || (c == u'イ' && (eRow.contains(before) || iRow.contains(before))))
                c = u'ー';
        }
        result += c;
    }
    return result;
}

struct CorpusLine {
    QString text;
    QStringList readings; // each one right
    QString misreading;   // what is said instead, known to be wrong
};

std::vector<CorpusLine> readCorpus(const QString& name = QStringLiteral("japanese_readings.tsv"))
{
    QFile file(QStringLiteral(VELMOR_SPEECH_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    std::vector<CorpusLine> corpus;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (line.startsWith(u'#') || fields.size() < 2)
            continue;
        corpus.push_back({fields[0], fields[1].split(u'|'), fields.value(2)});
    }
    return corpus;
}

} // namespace

// Sentences of news-like prose, names, numbers, dates, counters and Latin words, each with how a
// Japanese reader pronounces it. MeCab picks a wrong word now and then (homographs, names): those
// few are listed with what is said instead, so that every change shows. No kanji may ever reach
// the voice.
TEST(JapaneseReadings, CorpusIsReadAsAJapaneseReaderReadsItAndNoKanjiReachesTheVoice)
{
    const std::vector<CorpusLine> corpus = readCorpus(QStringLiteral("japanese_readings.tsv"));
    ASSERT_GE(corpus.size(), 200u);
    const TextPreparer preparer({kJapanese, false});
    int matching = 0;
    int withKanji = 0;
    int withKanjiClean = 0;
    QStringList misread;
    for (const CorpusLine& line : corpus) {
        const std::vector<SpeechPassage> passages = prepareWhole(preparer, line.text);
        QString reading;
        bool clean = true;
        for (const SpeechPassage& passage : passages) {
            reading += passage.prepared.text;
            clean = clean && !(passage.language.isEmpty() && hasKanji(passage.prepared.text));
        }
        expectPositionMap(line.text, passages);
        if (hasKanji(line.text)) {
            ++withKanji;
            withKanjiClean += clean ? 1 : 0;
        }
        const bool right = std::any_of(line.readings.begin(), line.readings.end(),
                                       [&](const QString& expected) { return sound(expected) == sound(reading); });
        if (right)
            ++matching;
        else if (line.misreading.isEmpty() || sound(line.misreading) != sound(reading))
            ADD_FAILURE() << line.text.toStdString() << " is read " << reading.toStdString();
        else
            misread << line.text + QStringLiteral(" -> ") + reading + QStringLiteral(" (expected ")
                    + line.readings.join(QStringLiteral(" or ")) + u')';
    }
    std::printf("Japanese readings: %d of %zu sentences as expected; %d of %d with kanji read without any kanji\n",
                matching, corpus.size(), withKanjiClean, withKanji);
    for (const QString& line : misread)
        std::printf("  misread: %s\n", qPrintable(line));
    EXPECT_EQ(withKanjiClean, withKanji);
    EXPECT_GE(double(matching), 0.96 * double(corpus.size()));
}

namespace {

// Levenshtein distance between two readings.
int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(std::size_t(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[std::size_t(j)];
            row[std::size_t(j)] = std::min({above + 1, row[std::size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

// Words written alike for words said differently are read as the words around them tell, and
// names the system dictionary gets wrong come from the supplement.
TEST(JapaneseReadings, HomographsAreReadByTheirContextAndNamesByTheSupplement)
{
    const TextPreparer preparer({kJapanese, false});
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("毎月一日に払う"), QStringLiteral("マイツキツイタチニハラウ")},
        {QStringLiteral("一日中雨だった"), QStringLiteral("イチニチジューアメダッタ")},
        {QStringLiteral("市場で野菜を買う"), QStringLiteral("イチバデヤサイオカウ")},
        {QStringLiteral("株式市場が開く"), QStringLiteral("カブシキシジョーガヒラク")},
        {QStringLiteral("人気のない道"), QStringLiteral("ヒトケノナイミチ")},
        {QStringLiteral("人気のある店"), QStringLiteral("ニンキノアルミセ")},
        {QStringLiteral("色紙にサインする"), QStringLiteral("シキシニサインスル")},
        {QStringLiteral("色紙を折る"), QStringLiteral("イロガミオオル")},
        {QStringLiteral("生物は早めに食べる"), QStringLiteral("ナマモノワハヤメニタベル")},
        {QStringLiteral("生物を研究する"), QStringLiteral("セーブツオケンキュースル")},
        {QStringLiteral("米の値段"), QStringLiteral("コメノネダン")},
        {QStringLiteral("米国と日米"), QStringLiteral("ベーコクトニチベー")},
        {QStringLiteral("歌が上手だ"), QStringLiteral("ウタガジョーズダ")},
        {QStringLiteral("一枚上手だ"), QStringLiteral("イチマイウワテダ")},
        {QStringLiteral("上手から登場する"), QStringLiteral("カミテカラトージョースル")},
        {QStringLiteral("ファイルが開けない"), QStringLiteral("ファイルガヒラケナイ")},
        {QStringLiteral("長い間待った"), QStringLiteral("ナガイアイダマッタ")},
        {QStringLiteral("大谷翔平と宮崎駿と伊達政宗"), QStringLiteral("オータニショーヘートミヤザキハヤオトダテマサムネ")},
        {QStringLiteral("等々力の小鳥遊さん"), QStringLiteral("トドロキノタカナシサン")},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(sound(shown(prepareWhole(preparer, text))), sound(expected)) << text.toStdString();
}

// Everyday prose nobody here wrote the readings for to fit the code (news, mail, novels, recipes,
// instructions, homographs, names, signs, numbers in use): nearly every sentence is read as a
// careful reader says it, few sounds are wrong over all, and no word join reaches the voice in the
// form it spells out kana by kana.
TEST(JapaneseReadings, EverydayProseIsReadRightAndNothingIsSpelledOut)
{
    std::vector<CorpusLine> corpus;
    const QStringList files = QDir(QStringLiteral(VELMOR_SPEECH_TEST_DATA))
                                  .entryList({QStringLiteral("japanese_everyday_*.tsv")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const std::vector<CorpusLine> lines = readCorpus(name);
        corpus.insert(corpus.end(), lines.begin(), lines.end());
    }
    ASSERT_GE(corpus.size(), 150u);
    const TextPreparer preparer({kJapanese, false});
    int right = 0;
    int errors = 0;
    int characters = 0;
    QStringList misread;
    for (const CorpusLine& line : corpus) {
        const std::vector<SpeechPassage> passages = prepareWhole(preparer, line.text);
        expectPositionMap(line.text, passages);
        QString reading;
        for (const SpeechPassage& passage : passages) {
            reading += passage.prepared.text;
            if (passage.language.isEmpty()) {
                const QStringView text(passage.prepared.text);
                for (qsizetype at = 1; at + 1 < text.size(); ++at) {
                    EXPECT_FALSE(velmor::spelledOutWhenJoined(text.first(at), text.sliced(at)))
                        << line.text.toStdString() << " reaches the voice as " << text.toString().toStdString();
                }
            }
        }
        int distance = std::numeric_limits<int>::max();
        int length = 0;
        for (const QString& expected : line.readings) {
            const int d = editDistance(sound(expected), sound(reading));
            if (d < distance) {
                distance = d;
                length = int(sound(expected).size());
            }
        }
        errors += distance;
        characters += length;
        if (distance == 0)
            ++right;
        else
            misread << line.text + QStringLiteral(" -> ") + reading + QStringLiteral(" (expected ") + line.readings.front() + u')';
    }
    const double rightShare = double(right) / double(corpus.size());
    const double errorRate = double(errors) / double(std::max(characters, 1));
    std::printf("Everyday Japanese: %d of %zu sentences right (%.1f%%), character error rate %.2f%%\n", right,
                corpus.size(), 100 * rightShare, 100 * errorRate);
    for (const QString& line : misread)
        std::printf("  misread: %s\n", qPrintable(line));
    EXPECT_GE(rightShare, 0.95);
    EXPECT_LT(errorRate, 0.02);
}
