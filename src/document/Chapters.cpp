#include "document/Chapters.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <optional>

namespace velmor {

namespace {

// Longer lines are prose, not headings.
constexpr qsizetype kLongestHeading = 80;
constexpr qsizetype kLongestTitleInName = 60;

struct Line {
    qsizetype start = 0;
    QStringView text; // without its line break
};

std::vector<Line> linesOf(QStringView text)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.mid(start, end - start);
        if (line.endsWith(u'\r'))
            line.chop(1);
        lines.push_back({start, line});
        start = end + 1;
    }
    return lines;
}

// The level of a Markdown heading ("## Title" is 2); none for other lines.
std::optional<int> markdownLevel(QStringView line)
{
    qsizetype hashes = 0;
    while (hashes < line.size() && line[hashes] == u'#')
        ++hashes;
    if (hashes == 0 || hashes > 6 || hashes >= line.size() || !line[hashes].isSpace()
        || line.mid(hashes).trimmed().isEmpty())
        return std::nullopt;
    return int(hashes);
}

// "Chapter 12", "CHAPTER XII", "Chapter Twelve", "Part II", with a title after a colon, dot or dash;
// "第3章", "第十二章" with anything after. Prose that starts with the word is not one.
bool isNamedChapter(QStringView line)
{
    static const QRegularExpression named(QStringLiteral(
        "^(chapter|part)\\s+([0-9]+|[ivxlcdm]+|(one|two|three|four|five|six|seven|eight|nine|ten|eleven|twelve|"
        "thirteen|fourteen|fifteen|sixteen|seventeen|eighteen|nineteen|twenty|thirty|forty|fifty|sixty|seventy|"
        "eighty|ninety|hundred)(-?(one|two|three|four|five|six|seven|eight|nine))?)"
        "(\\s*[:.\\-\u2013\u2014]\\s*.*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression numbered(QStringLiteral("^第[0-9０-９一二三四五六七八九十百千〇零]+章"));
    return named.match(line).hasMatch() || numbered.match(line).hasMatch();
}

// A line wholly in capitals with some letters to it, neither a sentence nor cut from one.
bool isCapitalsLine(QStringView line)
{
    int letters = 0;
    for (QChar c : line) {
        if (c.isLower())
            return false;
        if (c.isUpper())
            ++letters;
    }
    return letters >= 3 && !line.endsWith(u',') && !line.endsWith(u';') && !line.endsWith(u'-');
}

bool isBlank(QStringView line) { return line.trimmed().isEmpty(); }

std::vector<Chapter> chaptersAt(QStringView text, const std::vector<std::pair<qsizetype, QString>>& headings)
{
    std::vector<Chapter> chapters;
    if (headings.empty())
        return chapters;
    if (!isBlank(text.left(headings.front().first)))
        chapters.push_back({0, headings.front().first, {}});
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const qsizetype end = i + 1 < headings.size() ? headings[i + 1].first : text.size();
        chapters.push_back({headings[i].first, end, headings[i].second});
    }
    return chapters;
}

bool sameLine(QStringView line, const QString& known) { return line.toString().simplified() == known; }

// How far back a chapter's line is looked for: far enough for what an edit removes above it, not
// so far that a book's list of contents, which names the chapters first, is taken for them.
constexpr qsizetype kBackwardSearch = 100;

// The known chapters' lines in the text as it is now. Edits above a chapter move it by as many
// lines as they added or removed, so each is looked for first where the one before it suggests,
// then after that, and only a little way before it.
std::vector<std::pair<qsizetype, QString>> knownHeadings(const std::vector<Line>& lines,
                                                         const std::vector<ChapterStart>& known)
{
    std::vector<std::pair<qsizetype, QString>> found;
    const qsizetype count = qsizetype(lines.size());
    qsizetype shift = 0;
    qsizetype after = -1; // the line of the last chapter found
    for (const ChapterStart& chapter : known) {
        const QString wanted = chapter.firstLine.simplified();
        const qsizetype expected = std::max(chapter.line + shift, after + 1);
        const qsizetype earliest = std::max(after + 1, expected - kBackwardSearch);
        std::optional<qsizetype> at;
        for (qsizetype distance = 0; !at && (expected + distance < count || expected - distance >= earliest);
             ++distance) {
            if (expected + distance < count && sameLine(lines[std::size_t(expected + distance)].text, wanted))
                at = expected + distance;
            else if (distance > 0 && expected - distance >= earliest && expected - distance < count
                     && sameLine(lines[std::size_t(expected - distance)].text, wanted))
                at = expected - distance;
        }
        if (!at)
            continue;
        found.push_back({lines[std::size_t(*at)].start, chapter.title});
        shift = *at - chapter.line;
        after = *at;
    }
    return found;
}

} // namespace

std::vector<Chapter> findChapters(QStringView text, const std::vector<ChapterStart>& known)
{
    const std::vector<Line> lines = linesOf(text);
    if (!known.empty()) {
        const std::vector<std::pair<qsizetype, QString>> found = knownHeadings(lines, known);
        if (!found.empty())
            return chaptersAt(text, found);
    }
    std::vector<std::pair<qsizetype, QString>> named;
    std::vector<std::pair<qsizetype, QString>> capitals;
    std::vector<std::pair<int, std::pair<qsizetype, QString>>> markdown;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QStringView line = lines[i].text.trimmed();
        if (line.isEmpty() || line.size() > kLongestHeading)
            continue;
        if (const std::optional<int> level = markdownLevel(line)) {
            markdown.push_back({*level, {lines[i].start, line.mid(*level).trimmed().toString()}});
        } else if (isNamedChapter(line)) {
            named.push_back({lines[i].start, line.toString()});
        } else if (isCapitalsLine(line) && (i == 0 || isBlank(lines[i - 1].text))
                   && (i + 1 == lines.size() || isBlank(lines[i + 1].text))) {
            capitals.push_back({lines[i].start, line.toString()});
        }
    }
    if (!markdown.empty()) {
        std::vector<int> levels;
        for (const auto& heading : markdown)
            levels.push_back(heading.first);
        const int level = chapterLevel(levels);
        for (const auto& heading : markdown)
            if (heading.first == level)
                named.push_back(heading.second);
        std::sort(named.begin(), named.end());
    }
    return chaptersAt(text, named.empty() ? capitals : named);
}

int chapterLevel(const std::vector<int>& levels)
{
    std::map<int, int> counts;
    for (const int level : levels)
        ++counts[level];
    for (const auto& [level, count] : counts)
        if (count > 1)
            return level;
    return counts.empty() ? 0 : counts.begin()->first;
}

QString chapterFileName(int number, int count, const QString& title, const QString& extension)
{
    const int digits = std::max(2, int(QString::number(count).size()));
    QString name;
    for (QChar c : title.simplified()) {
        // "/" separates folders, NUL ends names, and the others are refused by other systems'
        // file systems the files may be copied to (a phone's card).
        if (c == u'/' || c == u'\\' || c == u':' || c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>'
            || c == u'|' || c.category() == QChar::Other_Control)
            name += u'_';
        else
            name += c;
    }
    if (name.size() > kLongestTitleInName)
        name = name.left(kLongestTitleInName).trimmed();
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    QString file = QStringLiteral("%1").arg(number, digits, 10, QLatin1Char('0'));
    if (!name.isEmpty())
        file += QStringLiteral(" - ") + name;
    return file + u'.' + extension;
}

} // namespace velmor
