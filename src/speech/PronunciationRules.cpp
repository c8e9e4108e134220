#include "speech/PronunciationRules.h"

#include "document/AtomicFile.h"
#include "document/TextFile.h"

#include <QFile>
#include <QRegularExpression>
#include <re2/re2.h>
#include <string>
#include <unordered_map>

namespace velmor {

namespace {

// Room for the automaton of ten thousand plain rules and more.
constexpr int64_t kMaxPatternMemory = int64_t(512) << 20;

std::string utf8Of(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

RE2::Options optionsFor(bool caseSensitive)
{
    RE2::Options options;
    options.set_log_errors(false);
    options.set_case_sensitive(caseSensitive);
    options.set_max_mem(kMaxPatternMemory);
    return options;
}

bool isAsciiWordByte(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// A whole word's match neither begins nor ends inside a word: a word character at its edge has no
// word character beside it outside. "Dr." is whole in "Dr. Smith", "St" is not in "Stan".
bool wordEdgesHold(const std::string& text, std::size_t begin, std::size_t end)
{
    const bool startHolds = begin == 0 || !isAsciiWordByte(text[begin - 1]) || !isAsciiWordByte(text[begin]);
    const bool endHolds = end >= text.size() || !isAsciiWordByte(text[end]) || !isAsciiWordByte(text[end - 1]);
    return startHolds && endHolds;
}

// The same for a plain rule's text, as a pattern.
std::string wholeLiteral(bool wholeWord, const std::string& literal)
{
    const std::string quoted = RE2::QuoteMeta(literal);
    if (!wholeWord || literal.empty())
        return quoted;
    return (isAsciiWordByte(literal.front()) ? "\\b" : "") + quoted + (isAsciiWordByte(literal.back()) ? "\\b" : "");
}

// A regular expression rule's say in RE2's rewrite form: $1 becomes \1, $$ a dollar sign.
std::string rewriteOf(QStringView say)
{
    std::string out;
    const std::string text = utf8Of(say);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '$' && next >= '0' && next <= '9') {
            out += '\\';
            out += next;
            ++i;
        } else if (c == '$' && next == '$') {
            out += '$';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool appliesTo(const PronunciationRule& rule, const QByteArray& voiceLanguage)
{
    const QByteArray voice = voiceLanguage.toLower();
    const QByteArray language = rule.language.toLower();
    return language == "*" || voice == language || voice.startsWith(language + '-');
}

bool validLanguage(QStringView language)
{
    static const QRegularExpression kLanguage(QStringLiteral("^(\\*|[a-z]{2,3}(-[a-z0-9]+)*)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    return kLanguage.match(language.toString()).hasMatch();
}

// For each byte offset of text's UTF-8 form (and its end), the UTF-16 index it falls in.
std::vector<int> unitsOfBytes(QStringView text)
{
    std::vector<int> units;
    units.reserve(std::size_t(text.size()) + 1);
    for (int i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            units.insert(units.end(), 4, i);
            ++i;
            continue;
        }
        units.insert(units.end(), std::size_t(bytes), i);
    }
    units.push_back(int(text.size()));
    return units;
}

} // namespace

// One pass over the text: a run of plain rules, or a regular expression.
struct Stage {
    std::unique_ptr<RE2> pattern;
    std::string rewrite;                   // a regular expression's say
    bool wholeWord = false;                // a regular expression's
    std::vector<PronunciationRule> plain; // a run's rules, in table order
    std::unordered_map<QString, std::vector<std::size_t>> byFoldedFind;
};

struct PronunciationRules::Compiled {
    std::vector<Stage> stages;
};

namespace {

Stage plainStage(std::vector<PronunciationRule> rules)
{
    Stage stage;
    std::string alternatives;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const PronunciationRule& rule = rules[i];
        if (!alternatives.empty())
            alternatives += '|';
        alternatives += rule.matchCase ? "(?:" : "(?i:";
        alternatives += wholeLiteral(rule.wholeWord, utf8Of(rule.find));
        alternatives += ')';
        stage.byFoldedFind[rule.find.toCaseFolded()].push_back(i);
    }
    stage.pattern = std::make_unique<RE2>(alternatives, optionsFor(true));
    // RE2 builds the backward automaton, which finds where a match starts, at its first match:
    // now, rather than on the way to the first sound.
    stage.pattern->ReverseProgramSize();
    stage.plain = std::move(rules);
    return stage;
}

// The plain rule of the run that matched text[begin, end) of the pass's UTF-8 text.
const PronunciationRule* plainRuleAt(const Stage& stage, const std::string& text, std::size_t begin, std::size_t end)
{
    const QString found = QString::fromUtf8(text.data() + begin, qsizetype(end - begin));
    const auto fits = [&](const PronunciationRule& rule) {
        return found.compare(rule.find, rule.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0
            && (!rule.wholeWord || wordEdgesHold(text, begin, end));
    };
    const auto candidates = stage.byFoldedFind.find(found.toCaseFolded());
    if (candidates != stage.byFoldedFind.end())
        for (std::size_t index : candidates->second)
            if (fits(stage.plain[index]))
                return &stage.plain[index];
    // Case folding that RE2 and Qt see differently.
    for (const PronunciationRule& rule : stage.plain)
        if (fits(rule))
            return &rule;
    return nullptr;
}

void appendUnits(PreparedText& out, const PreparedText& in, int begin, int end)
{
    out.text += QStringView(in.text).sliced(begin, end - begin);
    out.sources.insert(out.sources.end(), in.sources.begin() + begin, in.sources.begin() + end);
}

PreparedText runStage(const Stage& stage, const PreparedText& in)
{
    const std::string text = utf8Of(in.text);
    const std::vector<int> units = unitsOfBytes(in.text);
    const int groups = stage.plain.empty() ? std::min(10, stage.pattern->NumberOfCapturingGroups() + 1) : 1;
    re2::StringPiece found[10];
    PreparedText out;
    int copiedUpTo = 0; // units of in already handled
    for (std::size_t at = 0; at <= text.size();) {
        if (!stage.pattern->Match(text, at, text.size(), RE2::UNANCHORED, found, groups))
            break;
        const std::size_t begin = std::size_t(found[0].data() - text.data());
        const std::size_t end = begin + found[0].size();
        // An empty match stands for nothing that could be said instead.
        if (end == begin || (stage.wholeWord && !wordEdgesHold(text, begin, end))) {
            at = begin + 1;
            while (at < text.size() && (text[at] & 0xC0) == 0x80)
                ++at;
            continue;
        }
        QString say;
        if (stage.plain.empty()) {
            std::string rewritten;
            stage.pattern->Rewrite(&rewritten, stage.rewrite, found, groups);
            say = QString::fromStdString(rewritten);
        } else if (const PronunciationRule* rule = plainRuleAt(stage, text, begin, end)) {
            say = rule->say;
        } else {
            at = end;
            continue;
        }
        const int first = units[begin];
        const int last = units[end];
        appendUnits(out, in, copiedUpTo, first);
        out.append(say, in.sourceOf(first, last));
        copiedUpTo = last;
        at = end;
    }
    appendUnits(out, in, copiedUpTo, int(in.text.size()));
    return out;
}

} // namespace

QString optionLetters(const PronunciationRule& rule)
{
    QString letters;
    if (rule.wholeWord)
        letters += u'w';
    if (rule.matchCase)
        letters += u'c';
    if (rule.regularExpression)
        letters += u'r';
    return letters;
}

QString ruleError(const PronunciationRule& rule)
{
    if (rule.find.isEmpty())
        return QStringLiteral("nothing to find");
    if (!rule.regularExpression)
        return {};
    const RE2 pattern(utf8Of(rule.find), optionsFor(rule.matchCase));
    if (!pattern.ok())
        return QString::fromStdString(pattern.error());
    std::string error;
    if (!pattern.CheckRewriteString(rewriteOf(rule.say), &error))
        return QString::fromStdString(error);
    return {};
}

ParsedRules parseRules(QStringView fileText)
{
    ParsedRules parsed;
    if (fileText.startsWith(QChar(0xFEFF)))
        fileText = fileText.sliced(1);
    int lineNumber = 0;
    for (QStringView line : fileText.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#') || (lineNumber == 1 && line == kRulesHeading))
            continue;
        const auto problem = [&](const QString& message) { parsed.problems.push_back({lineNumber, message}); };
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() < 2 || fields.size() > 4) {
            problem(QStringLiteral("expected find, say, options and language separated by tabs"));
            continue;
        }
        PronunciationRule rule;
        rule.find = fields[0].toString();
        rule.say = fields[1].toString();
        const QStringView options = fields.size() > 2 ? fields[2] : QStringView();
        const QStringView language = fields.size() > 3 && !fields[3].isEmpty() ? fields[3] : QStringView(u"*");
        const auto unknown = std::find_if(options.begin(), options.end(), [](QChar c) {
            return c != u'w' && c != u'c' && c != u'r';
        });
        if (unknown != options.end()) {
            problem(QStringLiteral("unknown option '%1' (w whole word, c match case, r regular expression)").arg(*unknown));
            continue;
        }
        if (!validLanguage(language)) {
            problem(QStringLiteral("unknown language '%1' (* or a language such as en or ja)").arg(language));
            continue;
        }
        rule.wholeWord = options.contains(u'w');
        rule.matchCase = options.contains(u'c');
        rule.regularExpression = options.contains(u'r');
        rule.language = language.toLatin1();
        // Kept, so that saving does not lose it, but not used until it is mended.
        if (const QString error = ruleError(rule); !error.isEmpty())
            problem(error);
        parsed.rules.push_back(std::move(rule));
    }
    return parsed;
}

QString formatRules(const std::vector<PronunciationRule>& rules)
{
    // A tab or a line break in a field would break the line apart.
    const auto field = [](QString text) {
        return text.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', u' ');
    };
    QString out = kRulesHeading.toString() + u'\n';
    for (const PronunciationRule& rule : rules)
        out += field(rule.find) + u'\t' + field(rule.say) + u'\t' + optionLetters(rule) + u'\t'
             + QString::fromLatin1(rule.language.isEmpty() ? QByteArray("*") : rule.language) + u'\n';
    return out;
}

PronunciationRules::PronunciationRules(std::vector<PronunciationRule> rules) : m_rules(std::move(rules)) {}

PronunciationRules::~PronunciationRules() = default;

std::shared_ptr<const PronunciationRules::Compiled> PronunciationRules::compiledFor(const QByteArray& language) const
{
    std::lock_guard lock(m_mutex);
    std::shared_ptr<const Compiled>& cached = m_compiled[language];
    if (cached)
        return cached;
    auto compiled = std::make_shared<Compiled>();
    std::vector<PronunciationRule> plainRun;
    const auto endRun = [&] {
        if (!plainRun.empty())
            compiled->stages.push_back(plainStage(std::exchange(plainRun, {})));
    };
    for (const PronunciationRule& rule : m_rules) {
        if (!appliesTo(rule, language) || !ruleError(rule).isEmpty())
            continue;
        if (!rule.regularExpression) {
            plainRun.push_back(rule);
            continue;
        }
        endRun();
        Stage stage;
        stage.pattern = std::make_unique<RE2>(utf8Of(rule.find), optionsFor(rule.matchCase));
        stage.rewrite = rewriteOf(rule.say);
        stage.wholeWord = rule.wholeWord;
        compiled->stages.push_back(std::move(stage));
    }
    endRun();
    cached = std::move(compiled);
    return cached;
}

PreparedText PronunciationRules::apply(QStringView text, int begin, int end, const QByteArray& voiceLanguage) const
{
    PreparedText prepared;
    prepared.appendVerbatim(text.sliced(begin, end - begin), begin);
    if (m_rules.empty())
        return prepared;
    for (const Stage& stage : compiledFor(voiceLanguage)->stages)
        prepared = runStage(stage, prepared);
    return prepared;
}

ParsedRules readRulesFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw FileError::cannotOpen(path);
    return parseRules(QString::fromUtf8(file.readAll()));
}

void writeRulesFile(const QString& path, const std::vector<PronunciationRule>& rules)
{
    AtomicFileWriter writer(path);
    writer.write(formatRules(rules).toUtf8());
    if (!writer.ok() || !writer.commit())
        throw FileError::cannotCreate(path, writer.error());
}

} // namespace velmor
