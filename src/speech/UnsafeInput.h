#pragma once

#include "speech/PreparedText.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <vector>

namespace velmor {

// espeak-ng 1.51 reads freed memory on some inputs and may crash (in the helper process, which
// then starts anew, but the sentence is lost). Those inputs never reach it: each rule of a list
// replaces what it finds with something the engine speaks safely, or with a pause.
// The list is data (speech/data/espeak-unsafe.tsv): one rule a line, the languages of the voices
// it is for ("*" for every voice, or primary tags such as "ko,ja"), a tab, a regular expression, a
// tab and the replacement in double quotes; lines starting with # are comments.
class UnsafeInputFilter {
public:
    struct Rule {
        QList<QByteArray> languages; // empty: every voice
        QRegularExpression pattern;
        QString replacement;
    };

    // The rules shipped with the program.
    static const UnsafeInputFilter& shipped();
    // Rules from the text of a list; a malformed line throws std::invalid_argument naming it.
    explicit UnsafeInputFilter(const QString& list);

    const std::vector<Rule>& rules() const { return m_rules; }
    // The text with every rule for a voice of that language (espeak-ng's tag, "ko" or "en-us")
    // applied in order; positions still point at the user's text.
    PreparedText apply(const PreparedText& text, const QByteArray& language) const;

private:
    std::vector<Rule> m_rules;
};

} // namespace velmor
