#pragma once

#include "speech/PreparedText.h"
#include "speech/PronunciationRules.h"
#include "speech/Scripts.h"

#include <QByteArray>
#include <QStringView>
#include <memory>
#include <vector>

namespace velmor {

class JapaneseReader;

// What decides how a text is prepared for the voice.
struct PreparationOptions {
    // Rules last, so that options given without them need not name them.
    PreparationOptions(QByteArray voice = {}, bool autoLanguageOn = false,
                       std::shared_ptr<const PronunciationRules> listenerRules = {})
        : voiceLanguage(std::move(voice)), autoLanguage(autoLanguageOn), rules(std::move(listenerRules))
    {
    }

    QByteArray voiceLanguage; // espeak-ng language of the selected voice, e.g. "ja"
    // Passages in a script the selected voice cannot read go to a voice of their language.
    bool autoLanguage = false;
    // The listener's pronunciation rules, applied before anything else; none: no rules.
    std::shared_ptr<const PronunciationRules> rules;
    bool operator==(const PreparationOptions&) const = default;
};

// The step between the speaking commands and the synthesiser: a Japanese voice gets readings
// instead of kanji, and with auto language each passage gets a voice that can read it. A voice
// whose language is not written in Latin letters hands passages in a third script to a voice of
// their language also without auto language, as it would by itself. Texts
// are prepared a piece at a time (see pieceEnd), so speech need not wait for a long text.
// Safe to use from several threads.
class TextPreparer {
public:
    // Without a reader, the system's MeCab dictionary is opened when first needed.
    explicit TextPreparer(PreparationOptions options, const JapaneseReader* reader = nullptr);

    // False when the text goes to the selected voice as it is.
    bool changesText(QStringView text) const;
    // The passages for whole[begin, end), their positions counted in whole.
    std::vector<SpeechPassage> prepare(QStringView whole, int begin, int end) const;

private:
    const JapaneseReader& reader() const;
    std::vector<SpeechPassage> prepareAfterRules(QStringView whole, int begin, int end) const;
    void readJapanese(QStringView whole, int begin, int end, const QByteArray& language,
                      std::vector<SpeechPassage>& out) const;

    PreparationOptions m_options;
    const JapaneseReader* m_reader;
    // What the selected voice reads natively, and its language without the region.
    PassageKind m_native;
    QByteArray m_voiceTag;
};

// Where the piece of text starting at begin ends: after a sentence's closing mark (and the
// quotes and spaces that follow it), after a line break, or, for a long stretch without
// either, at a space or comma before kMaxPieceLength units.
inline constexpr int kMaxPieceLength = 400;
int pieceEnd(QStringView text, int begin);

// Where a part of the text starting at begin, of at most maxLength units, may end so that it is
// spoken as within the whole text: after the last sentence that ends in it (with the quotes and
// blanks that follow it), else after its last line break, else after its last blank or comma,
// else at maxLength (never between the two halves of a character). The text must go on past
// begin + maxLength, so that the last sentence mark is seen with what follows it.
int partEnd(QStringView text, int begin, int maxLength);
// Whether the text ends after a sentence's closing mark, with the quotes and blanks after it.
bool endsWithSentence(QStringView text);

} // namespace velmor
