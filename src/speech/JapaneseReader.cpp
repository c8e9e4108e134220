#include "speech/JapaneseReader.h"

#include "core/InstalledFiles.h"
#include "speech/JapaneseContext.h"
#include "speech/JapaneseNumbers.h"
#include "speech/JapaneseSpelling.h"
#include "speech/NumberReading.h"
#include "speech/Scripts.h"

#include <QDir>
#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <iconv.h>
#include <string_view>
#include <mecab.h>

namespace velmor {

namespace {

// The pronunciation is the ninth feature of an IPA dictionary entry.
constexpr int kPronunciationField = 8;

// Debian's UTF-8 IPA dictionary, then whatever dictionary the system's MeCab uses.
const char* const kDictionaryFolders[] = {"/var/lib/mecab/dic/ipadic-utf8", "/var/lib/mecab/dic/debian"};

// The pronunciation in a dictionary word's features, empty when it has none in kana.
QString pronunciationIn(const char* features)
{
    for (int skipped = 0; skipped < kPronunciationField; ++skipped) {
        while (*features && *features != ',')
            ++features;
        if (!*features)
            return {};
        ++features;
    }
    const char* end = features;
    while (*end && *end != ',')
        ++end;
    const std::string_view field(features, std::size_t(end - features));
    if (field.empty() || field == "*")
        return {};
    const QString pronunciation = QString::fromUtf8(field.data(), qsizetype(field.size()));
    for (int at = 0; at < pronunciation.size(); at = codePointAt(pronunciation, at).next)
        if (scriptOf(codePointAt(pronunciation, at).value) == Script::Han)
            return {};
    return pronunciation;
}

bool startsWith(const char* text, std::string_view prefix)
{
    return std::strncmp(text, prefix.data(), prefix.size()) == 0;
}

bool isMonth(QStringView word)
{
    static const QStringView kMonths[] = {u"毎月", u"今月", u"先月", u"来月", u"翌月", u"同月", u"前月", u"先々月", u"再来月"};
    return std::find(std::begin(kMonths), std::end(kMonths), word) != std::end(kMonths);
}

bool isWrittenInKanjiAlone(QStringView text)
{
    for (int at = 0; at < text.size(); at = codePointAt(text, at).next)
        if (scriptOf(codePointAt(text, at).value) != Script::Han)
            return false;
    return !text.isEmpty();
}

// Full-width Latin letters, digits and signs as their ASCII forms, one unit for one: MeCab and
// espeak-ng know the ASCII ones better, and positions stay where they were; only the percent
// sign goes the other way. A lone surrogate
// becomes U+FFFD, so that the text has a UTF-8 form of known length.
QString foldWidth(QStringView text)
{
    QString folded = text.toString();
    char16_t* units = reinterpret_cast<char16_t*>(folded.data());
    const qsizetype size = folded.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = units[i];
        if (c == u'%')
            units[i] = u'％'; // the dictionary's percent sign, a counter read パーセント
        else if (c >= 0xFF01 && c <= 0xFF5E && c != u'％')
            units[i] = char16_t(c - 0xFF01 + 0x21);
        else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]))
            ++i;
        else if (QChar::isSurrogate(c))
            units[i] = QChar::ReplacementCharacter;
    }
    return folded;
}

// Readings of single kanji, for those MeCab has no word of their own for (Debian package kanjidic).
const char* const kKanjiDictionary = "/usr/share/edict/kanjidic";

QString systemDictionaryFolder()
{
    for (const char* candidate : kDictionaryFolders)
        if (QDir(QString::fromLatin1(candidate)).exists(QStringLiteral("sys.dic")))
            return QString::fromLatin1(candidate);
    return {};
}

QByteArray eucJpToUtf8(const QByteArray& bytes)
{
    const iconv_t converter = iconv_open("UTF-8", "EUC-JP");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return {};
    QByteArray result(bytes.size() * 2, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.constData());
    std::size_t inLeft = std::size_t(bytes.size());
    char* out = result.data();
    std::size_t outLeft = std::size_t(result.size());
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) {
        // Skip a byte that is not EUC-JP; the rest of the line is still of use.
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    result.truncate(result.size() - qsizetype(outLeft));
    return result;
}

// Long vowels as the dictionary's pronunciations write them: トウ as トー, テイ as テー.
QString asPronounced(QString reading)
{
    static const QString oRow = QStringLiteral("オコソトノホモヨロヲゴゾドボポョウクスツヌフムユルグズヅブプュ");
    static const QString eRow = QStringLiteral("エケセテネヘメレゲゼデベペ");
    for (qsizetype i = 1; i < reading.size(); ++i)
        if ((reading[i] == u'ウ' && oRow.contains(reading[i - 1])) || (reading[i] == u'イ' && eRow.contains(reading[i - 1])))
            reading[i] = u'ー';
    return reading;
}

// Each kanji's first on reading (katakana), else its first kun reading without the okurigana;
// the name readings after "T1" are left out.
std::unordered_map<char32_t, QString> loadKanjiDictionary(const QString& path)
{
    std::unordered_map<char32_t, QString> readings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readings;
    const QString text = QString::fromUtf8(eucJpToUtf8(file.readAll()));
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const char32_t kanji = codePointAt(line, 0).value;
        QString on;
        QString kun;
        for (QStringView field : line.split(u' ')) {
            if (field.startsWith(u'T') || field.startsWith(u'{'))
                break;
            const char32_t first = codePointAt(field.isEmpty() ? u" " : field, 0).value;
            if (on.isEmpty() && QChar::script(first) == QChar::Script_Katakana)
                on = field.toString();
            else if (kun.isEmpty() && (QChar::script(first) == QChar::Script_Hiragana || first == u'-'))
                kun = field.toString().remove(u'-').section(u'.', 0, 0);
        }
        QString reading = on.isEmpty() ? kun : on;
        for (QChar& c : reading)
            if (c.unicode() >= 0x3041 && c.unicode() <= 0x3096)
                c = QChar(c.unicode() + 0x60);
        if (!reading.isEmpty())
            readings.emplace(kanji, asPronounced(reading));
    }
    return readings;
}

// Where a passage of that language goes: the last one when it has that language.
PreparedText& passageFor(std::vector<SpeechPassage>& out, const QByteArray& language)
{
    // Asked for every word: the selected voice's empty language is told apart at once.
    if (out.empty() || (language.isEmpty() ? !out.back().language.isEmpty() : out.back().language != language))
        out.push_back({language, {}});
    return out.back().prepared;
}

} // namespace

QString JapaneseReader::supplementDictionary()
{
    const QString configured = qEnvironmentVariable("VELMOR_JAPANESE_WORDS");
    if (!configured.isEmpty())
        return configured;
    return companionFile(QStringLiteral("velmor-japanese.dic"), QStringLiteral("share/velmor"));
}

const JapaneseReader& JapaneseReader::system()
{
    static const JapaneseReader reader(systemDictionaryFolder(), supplementDictionary());
    static const bool warned = [] {
        if (!reader.isAvailable())
            qWarning("Velmor: Japanese kanji are read as espeak-ng reads them, because %s",
                     qPrintable(reader.problem()));
        return true;
    }();
    Q_UNUSED(warned);
    return reader;
}

JapaneseReader::JapaneseReader(const QString& dictionaryFolder, const QString& userDictionary)
{
    static std::atomic<std::uint64_t> readers{0};
    m_id = ++readers;
    if (dictionaryFolder.isEmpty() || !QDir(dictionaryFolder).exists(QStringLiteral("sys.dic"))) {
        m_problem = QStringLiteral("no MeCab dictionary is installed (Debian package mecab-ipadic-utf8)");
        return;
    }
    // An empty resource file: the dictionary named here, whatever the system's mecabrc says.
    QByteArrayList arguments{"velmor", "-r", "/dev/null", "-d", QFile::encodeName(QDir(dictionaryFolder).absolutePath())};
    if (!userDictionary.isEmpty() && QFileInfo(userDictionary).isReadable())
        arguments << "-u" << QFile::encodeName(QFileInfo(userDictionary).absoluteFilePath());
    const auto open = [this](QByteArrayList& arguments) {
        std::vector<char*> argv;
        for (QByteArray& argument : arguments)
            argv.push_back(argument.data());
        m_model.reset(MeCab::createModel(int(argv.size()), argv.data()));
    };
    open(arguments);
    // A supplement MeCab cannot use costs its words, not the reader.
    if (!m_model && arguments.size() > 5) {
        qWarning("Velmor: the Japanese supplement dictionary %s cannot be used: %s", qPrintable(userDictionary),
                 MeCab::getLastError());
        arguments = arguments.first(5);
        open(arguments);
    }
    if (!m_model) {
        m_problem = QStringLiteral("MeCab cannot open its dictionary: ") + QString::fromLocal8Bit(MeCab::getLastError());
        return;
    }
    const QByteArray charset = QByteArray(m_model->dictionary_info()->charset).toLower();
    if (charset != "utf-8" && charset != "utf8") {
        m_problem = QStringLiteral("the MeCab dictionary is not in UTF-8 (Debian package mecab-ipadic-utf8)");
        m_model.reset();
        return;
    }
    m_tagger.reset(m_model->createTagger());
    if (!m_tagger)
        m_problem = QStringLiteral("MeCab cannot start: ") + QString::fromLocal8Bit(MeCab::getLastError());
}

JapaneseReader::~JapaneseReader() = default;

// A lattice taken from the reader's pool for one parse, given back when done.
class JapaneseReader::PooledLattice {
public:
    explicit PooledLattice(const JapaneseReader& reader) : m_reader(reader)
    {
        std::lock_guard lock(reader.m_latticeMutex);
        if (!reader.m_lattices.empty()) {
            m_lattice = std::move(reader.m_lattices.back());
            reader.m_lattices.pop_back();
        }
        if (!m_lattice)
            m_lattice.reset(reader.m_model->createLattice());
    }
    ~PooledLattice()
    {
        std::lock_guard lock(m_reader.m_latticeMutex);
        m_reader.m_lattices.push_back(std::move(m_lattice));
    }
    PooledLattice(const PooledLattice&) = delete;
    PooledLattice& operator=(const PooledLattice&) = delete;

    MeCab::Lattice* operator->() const { return m_lattice.get(); }
    MeCab::Lattice* get() const { return m_lattice.get(); }

private:
    const JapaneseReader& m_reader;
    std::unique_ptr<MeCab::Lattice> m_lattice;
};

// One piece of text as MeCab parsed it: its words by UTF-16 position.
struct JapaneseReader::Sentence {
    QString text;  // the piece, width folded
    int offset;    // where it starts in the user's text
    QByteArray utf8;
    std::vector<int> unitAt; // the UTF-16 position of each UTF-8 byte, and of the end

    Sentence(QStringView piece, int offset) : text(foldWidth(piece)), offset(offset)
    {
        // UTF-8 for MeCab and the map back in one pass. The folded text has no lone surrogates:
        // a pair is four bytes, any other unit one to three.
        const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
        const int size = int(text.size());
        utf8.resize(qsizetype(size) * 3);
        unitAt.resize(std::size_t(size) * 3 + 1);
        char* out = utf8.data();
        std::size_t byte = 0;
        for (int unit = 0; unit < size;) {
            const bool pair = QChar::isHighSurrogate(units[unit]) && unit + 1 < size;
            const char32_t c = pair ? QChar::surrogateToUcs4(units[unit], units[unit + 1]) : units[unit];
            std::size_t length = 1;
            if (c < 0x80) {
                out[byte] = char(c);
            } else if (c < 0x800) {
                out[byte] = char(0xC0 | (c >> 6));
                out[byte + 1] = char(0x80 | (c & 0x3F));
                length = 2;
            } else if (c < 0x10000) {
                out[byte] = char(0xE0 | (c >> 12));
                out[byte + 1] = char(0x80 | ((c >> 6) & 0x3F));
                out[byte + 2] = char(0x80 | (c & 0x3F));
                length = 3;
            } else {
                out[byte] = char(0xF0 | (c >> 18));
                out[byte + 1] = char(0x80 | ((c >> 12) & 0x3F));
                out[byte + 2] = char(0x80 | ((c >> 6) & 0x3F));
                out[byte + 3] = char(0x80 | (c & 0x3F));
                length = 4;
            }
            for (std::size_t i = 0; i < length; ++i)
                unitAt[byte + i] = unit;
            byte += length;
            unit += pair ? 2 : 1;
        }
        utf8.truncate(qsizetype(byte));
        unitAt.resize(byte + 1);
        unitAt[byte] = size;
    }

    int beginOf(const MeCab::Node* node) const { return unitAt[std::size_t(node->surface - utf8.constData())]; }
    int endOf(const MeCab::Node* node) const
    {
        return unitAt[std::size_t(node->surface - utf8.constData()) + node->length];
    }
    QStringView surfaceOf(const MeCab::Node* node) const
    {
        return QStringView(text).sliced(beginOf(node), endOf(node) - beginOf(node));
    }
    // The next word starts where this one ends.
    bool follows(const MeCab::Node* node, const MeCab::Node* next) const
    {
        return next && next->stat != MECAB_EOS_NODE && beginOf(next) == endOf(node);
    }
    SourceSpan spanOf(int from, int to) const { return {offset + from, offset + to}; }
};

void JapaneseReader::read(QStringView whole, int begin, int end, std::vector<SpeechPassage>& out) const
{
    if (!isAvailable()) {
        passageFor(out, {}).appendVerbatim(whole.sliced(begin, end - begin), begin);
        return;
    }
    // Numbers read by what they are (times, phone numbers, prices...) and signs; the words between
    // them go to MeCab.
    int words = begin;
    for (const NumberExpression& expression : findNumberExpressions(whole.sliced(begin, end - begin))) {
        readWords(whole, words, begin + expression.begin, out);
        for (const NumberReadingPart& part : expression.parts)
            appendWordReading(passageFor(out, {}), part.reading, {begin + part.begin, begin + part.end}, true);
        words = begin + expression.end;
    }
    readWords(whole, words, end, out);
}

void JapaneseReader::readWords(QStringView whole, int begin, int end, std::vector<SpeechPassage>& out) const
{
    if (begin == end)
        return;
    startFacts();
    const Sentence sentence(whole.sliced(begin, end - begin), begin);
    const QString& text = sentence.text;
    const PooledLattice lattice(*this);
    lattice->set_sentence(sentence.utf8.constData(), std::size_t(sentence.utf8.size()));
    if (!m_tagger->parse(lattice.get())) {
        readUnknownWord(text, 0, int(text.size()), begin, out);
        return;
    }
    int done = 0; // units of text handed on
    bool afterMonth = false;
    for (const MeCab::Node* node = lattice->bos_node()->next; node && node->stat != MECAB_EOS_NODE; node = node->next) {
        const int wordBegin = sentence.beginOf(node);
        // MeCab skips white space between words; it is kept for the pauses it makes.
        if (wordBegin > done)
            readUnknownWord(text, done, wordBegin, begin, out);
        const WordFacts& facts = factsOf(*node);
        if (const MeCab::Node* last = facts.number ? readNumber(sentence, node, afterMonth, out) : nullptr) {
            afterMonth = sentence.surfaceOf(last) == u"月";
            node = last;
            done = sentence.endOf(last);
            continue;
        }
        // 一日 after 毎月 or 今月 is the first of the month, as after a month's number.
        afterMonth = sentence.surfaceOf(node).endsWith(u'月') && isMonth(sentence.surfaceOf(node));
        const int wordEnd = sentence.endOf(node);
        const bool known = node->stat == MECAB_NOR_NODE;
        const QString inContext = readingInContext(text, wordBegin, wordEnd, known ? QStringView(facts.pronunciation) : QStringView());
        // A Sino-Japanese word, whose long e is said differently, is a noun written in kanji alone.
        const auto sinoJapanese = [&] { return facts.noun && isWrittenInKanjiAlone(sentence.surfaceOf(node)); };
        QString spoken;
        if (!inContext.isEmpty())
            spoken = spokenForm(inContext, inContext.contains(u'イ') && sinoJapanese());
        else if (known)
            spoken = facts.longE && sinoJapanese() ? facts.spokenSinoJapanese : facts.spoken;
        if (!spoken.isEmpty())
            appendWordReading(passageFor(out, {}), spoken, sentence.spanOf(wordBegin, wordEnd), !leansOnPrevious(*node, facts));
        else
            readUnknownWord(text, wordBegin, wordEnd, begin, out);
        done = wordEnd;
    }
    if (done < text.size())
        readUnknownWord(text, done, int(text.size()), begin, out);
}

// A number that MeCab split into digits, commas and a decimal point is read whole; a counter
// after it that changes its sounds is read with it.
const MeCab::Node* JapaneseReader::readNumber(const Sentence& sentence, const MeCab::Node* node, bool afterMonth,
                                              std::vector<SpeechPassage>& out) const
{
    if (!isNumber(*node))
        return nullptr;
    const MeCab::Node* last = node;
    int point = -1;
    while (sentence.follows(last, last->next)) {
        const MeCab::Node* next = last->next;
        const QStringView surface = sentence.surfaceOf(next);
        if (isNumber(*next)) {
            last = next;
        } else if ((surface == u"," || (surface == u"." && point < 0)) && sentence.follows(next, next->next)
                   && isNumber(*next->next)) {
            if (surface == u".")
                point = sentence.beginOf(next);
            last = next->next;
        } else {
            break;
        }
    }
    const int numberBegin = sentence.beginOf(node);
    const int numberEnd = sentence.endOf(last);
    const QStringView whole = QStringView(sentence.text).sliced(numberBegin, (point < 0 ? numberEnd : point) - numberBegin);
    const std::optional<std::uint64_t> value = numberValue(whole);
    if (!value)
        return nullptr;
    const bool leadingZero = whole.size() > 1 && whole.front() == u'0';
    if (point < 0 && !leadingZero && sentence.follows(last, last->next) && isCounter(*last->next)) {
        const MeCab::Node* counter = last->next;
        const QString counted = countedReading(*value, sentence.surfaceOf(counter), afterMonth);
        if (!counted.isEmpty()) {
            appendWordReading(passageFor(out, {}), counted, sentence.spanOf(numberBegin, sentence.endOf(counter)), true);
            return counter;
        }
    }
    QString reading = leadingZero ? digitsReading(whole) : numberReading(*value);
    if (point >= 0)
        reading += QStringLiteral("テン") + digitsReading(QStringView(sentence.text).sliced(point + 1, numberEnd - point - 1));
    appendWordReading(passageFor(out, {}), reading, sentence.spanOf(numberBegin, numberEnd), true);
    return last;
}

// Character by character: Latin letters for the English voice, kana as they are, each kanji by
// its own reading or, without one, left out; signs and spaces go with what stands before them.
void JapaneseReader::readUnknownWord(QStringView text, int from, int to, int sourceOffset,
                                     std::vector<SpeechPassage>& out) const
{
    for (int at = from, next = from; at < to; at = next) {
        const CodePoint point = codePointAt(text.first(to), at);
        const char32_t c = point.value;
        next = point.next;
        const QStringView character = text.sliced(at, next - at);
        const Script script = scriptOf(c);
        if (script == Script::Latin) {
            passageFor(out, kLatinInJapaneseLanguage).appendVerbatim(character, sourceOffset + at);
        } else if (script == Script::Han) {
            const QString reading = kanjiReading(c);
            if (!reading.isEmpty())
                appendWordReading(passageFor(out, {}), reading, {sourceOffset + at, sourceOffset + next}, at == from);
        } else if (script == Script::Neutral && !QChar::isDigit(c) && !out.empty()) {
            out.back().prepared.appendVerbatim(character, sourceOffset + at);
        } else {
            PreparedText& prepared = passageFor(out, {});
            separateWord(prepared, text.sliced(at, to - at), at == from);
            prepared.appendVerbatim(character, sourceOffset + at);
        }
    }
}

// Each thread keeps its own: a lock for every word cost more than the look-up.
JapaneseReader::FactsCache& JapaneseReader::factsCache() const
{
    thread_local FactsCache cache;
    return cache;
}

void JapaneseReader::startFacts() const
{
    FactsCache& cache = factsCache();
    // A bound on what a long text of rare words could make the cache hold.
    if (cache.reader != m_id || cache.facts.size() >= kMaxCachedFacts) {
        cache.facts.clear();
        cache.reader = m_id;
    }
}

const JapaneseReader::WordFacts& JapaneseReader::factsOf(const MeCab::Node& node) const
{
    static const WordFacts kNone;
    if (node.stat != MECAB_NOR_NODE && node.stat != MECAB_UNK_NODE)
        return kNone;
    const auto [entry, added] = factsCache().facts.try_emplace(node.feature);
    if (added) {
        const char* features = node.feature;
        WordFacts& facts = entry->second;
        facts.pronunciation = pronunciationIn(features);
        facts.spoken = spokenForm(facts.pronunciation, false);
        facts.spokenSinoJapanese = spokenForm(facts.pronunciation, true);
        facts.longE = facts.spokenSinoJapanese != facts.spoken;
        static const std::string_view kLeaning[] = {"助詞", "助動詞", "記号", "名詞,接尾", "名詞,非自立", "動詞,接尾",
                                                    "動詞,非自立", "形容詞,非自立", "形容詞,接尾"};
        facts.leans = std::any_of(std::begin(kLeaning), std::end(kLeaning),
                                  [features](std::string_view prefix) { return startsWith(features, prefix); });
        facts.prefix = startsWith(features, "接頭詞");
        facts.verbalNoun = startsWith(features, "名詞,サ変接続");
        facts.suru = startsWith(features, "動詞,自立") && std::strstr(features, ",する,");
        facts.noun = startsWith(features, "名詞");
        facts.number = startsWith(features, "名詞,数,");
        facts.counter = std::strstr(features, "助数詞");
    }
    return entry->second;
}

// Whether a word is said as one phrase with the word before it: particles, endings, suffixes,
// する after a verbal noun, and whatever follows a prefix.
bool JapaneseReader::leansOnPrevious(const MeCab::Node& node, const WordFacts& facts) const
{
    if (facts.leans)
        return true;
    const MeCab::Node* previous = node.prev;
    if (!previous || previous->stat == MECAB_BOS_NODE)
        return false;
    const WordFacts& before = factsOf(*previous);
    return before.prefix || (facts.suru && before.verbalNoun);
}

bool JapaneseReader::isNumber(const MeCab::Node& node) const
{
    return factsOf(node).number;
}

// MeCab takes 月 after a number for ツキ, the moon.
bool JapaneseReader::isCounter(const MeCab::Node& node) const
{
    return factsOf(node).counter || std::string_view(node.surface, node.length) == "月";
}

QString JapaneseReader::kanjiReading(char32_t kanji) const
{
    {
        std::lock_guard lock(m_kanjiMutex);
        if (const auto known = m_kanjiReadings.find(kanji); known != m_kanjiReadings.end())
            return known->second;
    }
    QString reading;
    const QByteArray utf8 = QString::fromUcs4(&kanji, 1).toUtf8();
    const PooledLattice lattice(*this);
    lattice->set_sentence(utf8.constData(), std::size_t(utf8.size()));
    if (m_tagger->parse(lattice.get())) {
        const MeCab::Node* node = lattice->bos_node()->next;
        if (node && node->stat == MECAB_NOR_NODE && node->length == std::size_t(utf8.size()))
            reading = spokenForm(factsOf(*node).pronunciation, true);
    }
    std::lock_guard lock(m_kanjiMutex);
    if (reading.isEmpty()) {
        if (!m_kanjiDictionaryLoaded) {
            m_kanjiDictionary = loadKanjiDictionary(QString::fromLatin1(kKanjiDictionary));
            m_kanjiDictionaryLoaded = true;
        }
        if (const auto found = m_kanjiDictionary.find(kanji); found != m_kanjiDictionary.end())
            reading = found->second;
    }
    m_kanjiReadings.emplace(kanji, reading);
    return reading;
}

QString JapaneseReader::readingOf(QStringView text) const
{
    std::vector<SpeechPassage> passages;
    read(text, 0, int(text.size()), passages);
    QString reading;
    for (const SpeechPassage& passage : passages)
        reading += passage.prepared.text;
    return reading;
}

} // namespace velmor
