#include "speech/UnsafeInput.h"

#include <QFile>
#include <stdexcept>

namespace velmor {

namespace {

PreparedText applyRule(const PreparedText& text, const UnsafeInputFilter::Rule& rule)
{
    QRegularExpressionMatchIterator matches = rule.pattern.globalMatch(text.text);
    if (!matches.hasNext())
        return text;
    PreparedText result;
    const auto keep = [&](int begin, int end) {
        if (end <= begin)
            return;
        if (text.sources.empty()) {
            result.appendVerbatim(QStringView(text.text).mid(begin, end - begin), begin);
        } else {
            result.text += QStringView(text.text).mid(begin, end - begin);
            result.sources.insert(result.sources.end(), text.sources.begin() + begin, text.sources.begin() + end);
        }
    };
    int kept = 0;
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const int begin = int(match.capturedStart());
        const int end = int(match.capturedEnd());
        keep(kept, begin);
        // What replaces an empty match (an insertion) stands for the character after it.
        const SourceSpan source = end > begin ? text.sourceOf(begin, end) : text.sourceOf(begin, begin + 1);
        result.append(rule.replacement, source);
        kept = end;
    }
    keep(kept, int(text.text.size()));
    return result;
}

} // namespace

const UnsafeInputFilter& UnsafeInputFilter::shipped()
{
    static const UnsafeInputFilter filter = [] {
        QFile list(QStringLiteral(":/speech/espeak-unsafe.tsv"));
        if (!list.open(QIODevice::ReadOnly))
            throw std::logic_error("the list of unsafe engine input is not built in");
        return UnsafeInputFilter(QString::fromUtf8(list.readAll()));
    }();
    return filter;
}

UnsafeInputFilter::UnsafeInputFilter(const QString& list)
{
    const QStringList lines = list.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = lines[i].split(u'\t');
        const QString replacement = fields.size() == 3 ? fields[2].trimmed() : QString();
        if (fields.size() != 3 || replacement.size() < 2 || !replacement.startsWith(u'"') || !replacement.endsWith(u'"'))
            throw std::invalid_argument(QStringLiteral("unsafe input list, line %1: %2").arg(i + 1).arg(line).toStdString());
        Rule rule{{}, QRegularExpression(fields[1]), replacement.mid(1, replacement.size() - 2)};
        if (fields[0] != u"*")
            rule.languages = fields[0].toLatin1().split(',');
        if (!rule.pattern.isValid())
            throw std::invalid_argument(QStringLiteral("unsafe input list, line %1: %2").arg(i + 1).arg(rule.pattern.errorString()).toStdString());
        rule.pattern.optimize();
        m_rules.push_back(std::move(rule));
    }
}

PreparedText UnsafeInputFilter::apply(const PreparedText& text, const QByteArray& language) const
{
    const QByteArray primary = language.split('-').constFirst();
    PreparedText result = text;
    for (const Rule& rule : m_rules) {
        if (rule.languages.isEmpty() || rule.languages.contains(primary))
            result = applyRule(result, rule);
    }
    return result;
}

} // namespace velmor
