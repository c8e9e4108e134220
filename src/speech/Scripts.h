#pragma once

#include <QByteArray>
#include <QStringView>
#include <vector>

namespace velmor {

// What a character says about the language of the passage it stands in.
enum class Script {
    Neutral,  // spaces, digits, punctuation, symbols: they go with their neighbours
    Latin,
    Kana,     // hiragana, katakana and the long-vowel mark
    Han,      // kanji (hanzi, hanja), with the iteration mark 々
    Hangul,
    Cyrillic,
    Other,    // any other script; see languageOfScript
};

Script scriptOf(char32_t c);

// The character that starts at text[at] (a lone surrogate stands for itself), and where the
// next one starts.
struct CodePoint {
    char32_t value;
    int next;
};
CodePoint codePointAt(QStringView text, int at);

// How a passage reads: kanji that stand next to kana are Japanese, kanji alone are Chinese.
enum class PassageKind { Latin, Japanese, Chinese, Korean, Cyrillic, Other };

// A stretch of text in one script; neutral characters go with the stretch before them (the
// first stretch also takes those before it). Kana and kanji form one stretch.
struct ScriptPassage {
    int begin = 0;
    int end = 0;
    PassageKind kind = PassageKind::Latin;
    QByteArray otherLanguage; // for PassageKind::Other: espeak-ng's language for its script, or empty
};

std::vector<ScriptPassage> splitByScript(QStringView text);

// The kind of text a voice of this espeak-ng language reads natively (Latin for most).
PassageKind nativeKindOf(const QByteArray& language);

} // namespace velmor
