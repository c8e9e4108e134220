#pragma once

#include "speech/PreparedText.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace velmor {

// One line of the listener's pronunciation rules: where find is found, say is spoken instead.
struct PronunciationRule {
    QString find;
    QString say;          // for a regular expression, $1 to $9 stand for its groups and $$ for "$"
    bool wholeWord = false;
    bool matchCase = false;
    bool regularExpression = false;
    QByteArray language = "*"; // "*": every voice; else an espeak-ng language such as "en" or "ja"
    bool operator==(const PronunciationRule&) const = default;
};

// A line of a rules file that was skipped, and why.
struct RuleProblem {
    int line = 0; // 1-based
    QString message;
};

struct ParsedRules {
    std::vector<PronunciationRule> rules;
    std::vector<RuleProblem> problems;
};

// The file: a heading line "find<TAB>say<TAB>options<TAB>language", then a rule a line; options
// are letters in any order (w whole word, c match case, r regular expression), language "*" or
// a language; lines starting with # are comments. A malformed line is reported and skipped.
inline constexpr QStringView kRulesHeading = u"find\tsay\toptions\tlanguage";
ParsedRules parseRules(QStringView fileText);
QString formatRules(const std::vector<PronunciationRule>& rules);
QString optionLetters(const PronunciationRule& rule);

// Why the rule cannot be used (RE2's message for a pattern it rejects); empty when it can.
QString ruleError(const PronunciationRule& rule);

// The listener's rules, applied before any other preparation of a text. Rules apply in the order
// of their table, each to the text the rules above it left, except that plain rules standing
// together in the table are looked for in one pass, where at a place several match the upper
// one wins. Regular expressions run through RE2, in time linear in the text whatever the
// pattern. Rules that cannot be used are left out. Safe to use from several threads.
class PronunciationRules {
public:
    explicit PronunciationRules(std::vector<PronunciationRule> rules = {});
    ~PronunciationRules();
    PronunciationRules(const PronunciationRules&) = delete;
    PronunciationRules& operator=(const PronunciationRules&) = delete;

    const std::vector<PronunciationRule>& rules() const { return m_rules; }
    bool empty() const { return m_rules.empty(); }

    // text[begin, end) with the rules for the voice's language applied; each unit of the result
    // carries the span of text it was made from (a replacement: the whole match).
    PreparedText apply(QStringView text, int begin, int end, const QByteArray& voiceLanguage) const;
    // Builds what apply needs for the language ahead of time, so that the first text need not wait.
    void compileFor(const QByteArray& voiceLanguage) const { compiledFor(voiceLanguage); }

    struct Compiled;

private:
    std::shared_ptr<const Compiled> compiledFor(const QByteArray& language) const;

    std::vector<PronunciationRule> m_rules;
    mutable std::mutex m_mutex;
    mutable std::map<QByteArray, std::shared_ptr<const Compiled>> m_compiled;
};

// Reads a rules file; a missing file gives no rules and no problem. Throws FileError when the
// file cannot be read.
ParsedRules readRulesFile(const QString& path);
// Writes the rules file atomically; throws FileError.
void writeRulesFile(const QString& path, const std::vector<PronunciationRule>& rules);

} // namespace velmor
