#pragma once

#include "speech/PreparedText.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

struct mecab_node_t; // MeCab::Node
namespace MeCab {
class Lattice;
class Model;
class Tagger;
} // namespace MeCab

namespace velmor {

// The espeak-ng language that reads Latin words standing in Japanese text.
inline const QByteArray kLatinInJapaneseLanguage = QByteArrayLiteral("en-us");

// Turns Japanese text into what espeak-ng's Japanese voice reads well: katakana pronunciations
// from MeCab (は as ワ, long vowels as ー), unknown words read kanji by kanji (MeCab's word for
// the single kanji, else its first reading in kanjidic, else nothing), so that no kanji reaches
// the voice (it would say "Chinese letter"). Safe to use from several threads.
class JapaneseReader {
public:
    // The system dictionary with Velmor's supplement of words and names (supplementDictionary()),
    // opened once for the process. When the system dictionary is missing, that is said once on
    // stderr and the reader stays unavailable.
    static const JapaneseReader& system();
    // The compiled supplement: $VELMOR_JAPANESE_WORDS, else velmor-japanese.dic beside the program
    // or in share/velmor when installed.
    static QString supplementDictionary();

    // Opens the MeCab dictionary in that folder (UTF-8 IPA dictionary), with the user dictionary
    // of that file when it exists.
    explicit JapaneseReader(const QString& dictionaryFolder, const QString& userDictionary = {});
    ~JapaneseReader();
    JapaneseReader(const JapaneseReader&) = delete;
    JapaneseReader& operator=(const JapaneseReader&) = delete;

    bool isAvailable() const { return m_tagger != nullptr; }
    // Why the reader is unavailable.
    const QString& problem() const { return m_problem; }

    // Appends the reading of whole[begin, end): kana passages for the selected voice (empty
    // language) and Latin words as passages of kLatinInJapaneseLanguage, each unit mapped to
    // the word of whole it reads. Unavailable, it appends the text as it is.
    void read(QStringView whole, int begin, int end, std::vector<SpeechPassage>& out) const;

    // The katakana reading of a short text, Latin letters kept.
    QString readingOf(QStringView text) const;

private:
    struct Sentence;
    class PooledLattice;

    // whole[begin, end) word by word as MeCab cuts it.
    void readWords(QStringView whole, int begin, int end, std::vector<SpeechPassage>& out) const;
    QString kanjiReading(char32_t kanji) const;
    // What the dictionary says of a word that matters for its reading.
    struct WordFacts {
        QString pronunciation; // in katakana; empty when the dictionary has none in kana
        // As the voice is to be given it (spokenForm), in a word of its own and in a Sino-Japanese
        // word, and whether the two differ.
        QString spoken;
        QString spokenSinoJapanese;
        bool longE = false;
        bool leans = false;    // a particle, an ending or a suffix, said with the word before it
        bool prefix = false;
        bool verbalNoun = false;
        bool suru = false; // する as a verb of its own
        bool noun = false;
        bool number = false;
        bool counter = false;
    };
    // The facts of a word, valid until the next startFacts(), which each parse begins with.
    const WordFacts& factsOf(const mecab_node_t& node) const;
    void startFacts() const;
    bool leansOnPrevious(const mecab_node_t& node, const WordFacts& facts) const;
    bool isNumber(const mecab_node_t& node) const;
    bool isCounter(const mecab_node_t& node) const;
    // Returns the last word read, or null when node starts no number.
    const mecab_node_t* readNumber(const Sentence& sentence, const mecab_node_t* node, bool afterMonth,
                                   std::vector<SpeechPassage>& out) const;
    void readUnknownWord(QStringView text, int from, int to, int sourceOffset,
                         std::vector<SpeechPassage>& out) const;

    std::unique_ptr<MeCab::Model> m_model;
    std::unique_ptr<MeCab::Tagger> m_tagger;
    QString m_problem;
    // Lattices kept between pieces, one for each thread parsing at a time: a new one would
    // allocate its buffers again for every piece.
    mutable std::mutex m_latticeMutex;
    mutable std::vector<std::unique_ptr<MeCab::Lattice>> m_lattices;
    // Facts by the address of the word's features, which stay where the dictionary is mapped:
    // taking them out of the features was much of the work for a word. The reader's id tells a
    // thread's cache whose dictionary its addresses are in.
    struct FactsCache {
        std::uint64_t reader = 0;
        std::unordered_map<const char*, WordFacts> facts;
    };
    static constexpr std::size_t kMaxCachedFacts = 200'000;
    FactsCache& factsCache() const;
    std::uint64_t m_id = 0;
    mutable std::mutex m_kanjiMutex;
    mutable std::unordered_map<char32_t, QString> m_kanjiReadings;
    // Loaded when a kanji is first met that MeCab has no reading for.
    mutable bool m_kanjiDictionaryLoaded = false;
    mutable std::unordered_map<char32_t, QString> m_kanjiDictionary;
};

} // namespace velmor
