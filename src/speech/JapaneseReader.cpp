#include "speech/JapaneseReader.h"

#include "speech/Scripts.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <iconv.h>
#include <mecab.h>

namespace velmor {

namespace {

// The pronunciation is the ninth feature of an IPA dictionary entry.
constexpr int kPronunciationField = 8;

// Debian's UTF-8 IPA dictionary, then whatever dictionary the system's MeCab uses.
const char* const kDictionaryFolders[] = {"/var/lib/mecab/dic/ipadic-utf8", "/var/lib/mecab/dic/debian"};

QString pronunciationOf(const MeCab::Node& node)
{
    const QList<QByteArray> fields = QByteArray(node.feature).split(',');
    if (fields.size() <= kPronunciationField || fields[kPronunciationField] == "*")
        return {};
    const QString pronunciation = QString::fromUtf8(fields[kPronunciationField]);
    for (int at = 0; at < pronunciation.size(); at = codePointAt(pronunciation, at).next)
        if (scriptOf(codePointAt(pronunciation, at).value) == Script::Han)
            return {};
    return pronunciation;
}

// Full-width Latin letters, digits and signs as their ASCII forms, one unit for one: MeCab and
// espeak-ng know the ASCII ones better, and positions stay where they were.
QString foldWidth(QStringView text)
{
    QString folded = text.toString();
    for (QChar& c : folded)
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFF01 + 0x21);
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
    if (out.empty() || out.back().language != language)
        out.push_back({language, {}});
    return out.back().prepared;
}

} // namespace

const JapaneseReader& JapaneseReader::system()
{
    static const JapaneseReader reader(systemDictionaryFolder());
    static const bool warned = [] {
        if (!reader.isAvailable())
            qWarning("Velmor: Japanese kanji are read as espeak-ng reads them, because %s",
                     qPrintable(reader.problem()));
        return true;
    }();
    Q_UNUSED(warned);
    return reader;
}

JapaneseReader::JapaneseReader(const QString& dictionaryFolder)
{
    if (dictionaryFolder.isEmpty() || !QDir(dictionaryFolder).exists(QStringLiteral("sys.dic"))) {
        m_problem = QStringLiteral("no MeCab dictionary is installed (Debian package mecab-ipadic-utf8)");
        return;
    }
    // An empty resource file: the dictionary named here, whatever the system's mecabrc says.
    const QByteArray arguments = "-r /dev/null -d " + QDir(dictionaryFolder).absolutePath().toLocal8Bit();
    m_model.reset(MeCab::createModel(arguments.constData()));
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

void JapaneseReader::read(QStringView whole, int begin, int end, std::vector<SpeechPassage>& out) const
{
    if (!isAvailable()) {
        passageFor(out, {}).appendVerbatim(whole.sliced(begin, end - begin), begin);
        return;
    }
    const QString text = foldWidth(whole.sliced(begin, end - begin));
    const QByteArray utf8 = text.toUtf8();
    // The UTF-16 position of each UTF-8 byte: MeCab reports words by byte.
    std::vector<int> unitAt(std::size_t(utf8.size()) + 1, int(text.size()));
    {
        std::size_t byte = 0;
        for (int unit = 0, next = 0; unit < text.size(); unit = next) {
            const CodePoint point = codePointAt(text, unit);
            next = point.next;
            const char32_t c = point.value;
            const std::size_t length = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
            for (std::size_t i = 0; i < length && byte + i < unitAt.size(); ++i)
                unitAt[byte + i] = unit;
            byte += length;
        }
    }

    std::unique_ptr<MeCab::Lattice> lattice(m_model->createLattice());
    lattice->set_sentence(utf8.constData(), std::size_t(utf8.size()));
    if (!m_tagger->parse(lattice.get())) {
        readUnknownWord(text, 0, int(text.size()), begin, out);
        return;
    }
    int done = 0; // units of text handed on
    for (const MeCab::Node* node = lattice->bos_node()->next; node && node->stat != MECAB_EOS_NODE; node = node->next) {
        const int wordBegin = unitAt[std::size_t(node->surface - utf8.constData())];
        const int wordEnd = unitAt[std::size_t(node->surface - utf8.constData()) + node->length];
        // MeCab skips white space between words; it is kept for the pauses it makes.
        if (wordBegin > done)
            readUnknownWord(text, done, wordBegin, begin, out);
        const QString pronunciation = node->stat == MECAB_NOR_NODE ? pronunciationOf(*node) : QString();
        if (!pronunciation.isEmpty())
            passageFor(out, {}).append(pronunciation, {begin + wordBegin, begin + wordEnd});
        else
            readUnknownWord(text, wordBegin, wordEnd, begin, out);
        done = wordEnd;
    }
    if (done < text.size())
        readUnknownWord(text, done, int(text.size()), begin, out);
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
                passageFor(out, {}).append(reading, {sourceOffset + at, sourceOffset + next});
        } else if (script == Script::Neutral && !QChar::isDigit(c) && !out.empty()) {
            out.back().prepared.appendVerbatim(character, sourceOffset + at);
        } else {
            passageFor(out, {}).appendVerbatim(character, sourceOffset + at);
        }
    }
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
    std::unique_ptr<MeCab::Lattice> lattice(m_model->createLattice());
    lattice->set_sentence(utf8.constData(), std::size_t(utf8.size()));
    if (m_tagger->parse(lattice.get())) {
        const MeCab::Node* node = lattice->bos_node()->next;
        if (node && node->stat == MECAB_NOR_NODE && node->length == std::size_t(utf8.size()))
            reading = pronunciationOf(*node);
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
