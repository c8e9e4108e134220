#include "document/MarkupNotes.h"

#include "document/MarkupText.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <vector>

namespace velmor {

namespace {

// Private-use characters, which no reader says: any in the source are dropped.
constexpr QChar kCallStart(0xE000);
constexpr QChar kCallEnd(0xE001);

QString callMark(qsizetype index) { return kCallStart + QString::number(index) + kCallEnd; }

QString withoutCallMarks(QString text) { return text.remove(kCallStart).remove(kCallEnd); }

struct Edit {
    qsizetype start;
    qsizetype end;
    QString replacement;
};

// The text from `from` to `to` with the edits made; an edit inside one made before it is dropped.
QString applyEdits(const QString& text, qsizetype from, qsizetype to, std::vector<Edit> edits)
{
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.start < b.start; });
    QString result;
    qsizetype at = from;
    for (const Edit& edit : edits) {
        if (edit.start < at || edit.end > to)
            continue;
        result += QStringView(text).mid(at, edit.start - at);
        result += edit.replacement;
        at = edit.end;
    }
    result += QStringView(text).mid(at, to - at);
    return result;
}

// An element of a web page and where it stands in the source; its children follow it.
struct Element {
    XmlNode tag; // its name and attributes only
    qsizetype start = 0;
    qsizetype contentStart = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
    int parent = -1;
    bool holdsSuperscript = false;

    bool contains(const Element& other) const { return other.start >= start && other.end <= end; }
};

const QSet<QString> kVoid = {QStringLiteral("area"),  QStringLiteral("base"),   QStringLiteral("br"),
                             QStringLiteral("col"),   QStringLiteral("embed"),  QStringLiteral("hr"),
                             QStringLiteral("img"),   QStringLiteral("input"),  QStringLiteral("link"),
                             QStringLiteral("meta"),  QStringLiteral("param"),  QStringLiteral("source"),
                             QStringLiteral("track"), QStringLiteral("wbr")};
const QSet<QString> kRawText = {QStringLiteral("script"), QStringLiteral("style"), QStringLiteral("textarea"),
                                QStringLiteral("title")};
// Start tags that end a paragraph left open.
const QSet<QString> kClosesParagraph = {
    QStringLiteral("address"), QStringLiteral("article"), QStringLiteral("aside"),  QStringLiteral("blockquote"),
    QStringLiteral("div"),     QStringLiteral("dl"),      QStringLiteral("figure"), QStringLiteral("footer"),
    QStringLiteral("h1"),      QStringLiteral("h2"),      QStringLiteral("h3"),     QStringLiteral("h4"),
    QStringLiteral("h5"),      QStringLiteral("h6"),      QStringLiteral("header"), QStringLiteral("hr"),
    QStringLiteral("li"),      QStringLiteral("nav"),     QStringLiteral("ol"),     QStringLiteral("p"),
    QStringLiteral("pre"),     QStringLiteral("section"), QStringLiteral("table"),  QStringLiteral("ul")};
// What a note can be, when its call points at an anchor inside it.
const QSet<QString> kNoteBlocks = {QStringLiteral("li"),    QStringLiteral("p"),       QStringLiteral("div"),
                                   QStringLiteral("aside"), QStringLiteral("dd"),      QStringLiteral("section"),
                                   QStringLiteral("footer")};

// The elements of a web page as a browser would nest them, near enough to find notes: end tags
// left out of paragraphs and list items are supplied, and what is still open at the end ends there.
std::vector<Element> elementsOf(const QString& html)
{
    using Re = QRegularExpression;
    static const Re tag(QStringLiteral(R"re(<!--.*?-->|<(/?)([A-Za-z][A-Za-z0-9:-]*)((?:[^>"']|"[^"]*"|'[^']*')*)>)re"),
                        Re::DotMatchesEverythingOption);
    static const Re attribute(QStringLiteral(R"re(([^\s"'>/=]+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'=<>`]+)))?)re"));
    std::vector<Element> elements;
    std::vector<int> open;
    const auto closeTo = [&](int element, qsizetype contentEnd, qsizetype end) {
        while (!open.empty()) {
            const int last = open.back();
            open.pop_back();
            elements[last].contentEnd = contentEnd;
            elements[last].end = last == element ? end : contentEnd;
            if (last == element)
                break;
        }
    };
    const auto openNamed = [&](std::initializer_list<QStringView> names) {
        const auto found = std::find_if(open.rbegin(), open.rend(), [&](int index) {
            return std::find(names.begin(), names.end(), QStringView(elements[index].tag.name)) != names.end();
        });
        return found == open.rend() ? -1 : *found;
    };

    qsizetype at = 0;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        // Tags in the text of a script or a style are no tags.
        if (match.capturedStart() < at)
            continue;
        at = match.capturedEnd();
        if (match.capturedLength(2) == 0)
            continue; // a comment
        const QString name = match.captured(2).toLower();
        const qsizetype start = match.capturedStart();
        if (match.capturedLength(1) > 0) {
            const int element = openNamed({name});
            if (element >= 0)
                closeTo(element, start, at);
            continue;
        }
        if (!open.empty() && elements[open.back()].tag.name == u"p" && kClosesParagraph.contains(name))
            closeTo(open.back(), start, start);
        if (name == u"li") {
            const int item = openNamed({u"li", u"ul", u"ol"});
            if (item >= 0 && elements[item].tag.name == u"li")
                closeTo(item, start, start);
        }
        Element element;
        element.tag.name = name;
        const QString attributes = match.captured(3);
        for (auto it = attribute.globalMatch(attributes); it.hasNext();) {
            const QRegularExpressionMatch pair = it.next();
            element.tag.attributes.insert(pair.captured(1).toLower(), pair.captured(2) + pair.captured(3) + pair.captured(4));
        }
        element.start = start;
        element.contentStart = element.contentEnd = element.end = at;
        element.parent = open.empty() ? -1 : open.back();
        if (name == u"sup") {
            const int link = openNamed({u"a"});
            if (link >= 0)
                elements[link].holdsSuperscript = true;
        }
        elements.push_back(std::move(element));
        if (kRawText.contains(name)) {
            // Their text is never markup.
            const qsizetype endTag = html.indexOf(QStringLiteral("</") + name, at, Qt::CaseInsensitive);
            const qsizetype closing = endTag < 0 ? -1 : html.indexOf(u'>', endTag);
            elements.back().contentEnd = endTag < 0 ? html.size() : endTag;
            at = elements.back().end = closing < 0 ? html.size() : closing + 1;
            continue;
        }
        if (!kVoid.contains(name) && !attributes.trimmed().endsWith(u'/'))
            open.push_back(int(elements.size()) - 1);
    }
    if (!open.empty())
        closeTo(open.front(), html.size(), html.size());
    return elements;
}

} // namespace

LiftedNotes liftHtmlNotes(const QString& source)
{
    const QString html = withoutCallMarks(source);
    const std::vector<Element> elements = elementsOf(html);
    QHash<QString, int> byId;
    for (int index = 0; index < int(elements.size()); ++index) {
        const XmlNode& tag = elements[index].tag;
        for (const QString& key : {QStringLiteral("id"), QStringLiteral("name")}) {
            const QString id = tag.attribute(key);
            if (!id.isEmpty() && (key == u"id" || tag.name == u"a") && !byId.contains(id))
                byId.insert(id, index);
        }
    }
    static const QRegularExpression markup(QStringLiteral("<[^>]*>"));
    const auto textOf = [&](const Element& element) {
        return html.mid(element.contentStart, element.contentEnd - element.contentStart).remove(markup).simplified();
    };
    const auto target = [&](const QString& href) {
        return href.startsWith(u'#') ? byId.value(QUrl::fromPercentEncoding(href.mid(1).toUtf8()), -1) : -1;
    };

    struct Call {
        int link;
        int note;
    };
    std::vector<Call> calls;
    for (int index = 0; index < int(elements.size()); ++index) {
        const Element& link = elements[index];
        if (link.tag.name != u"a")
            continue;
        const bool marked = isNoteReference(link.tag);
        const bool raised = link.holdsSuperscript || (link.parent >= 0 && elements[link.parent].tag.name == u"sup");
        if (!marked && !(raised && textOf(link).size() <= 6))
            continue;
        int note = target(link.tag.attribute(QStringLiteral("href")));
        // An anchor in a note stands for the paragraph or item around it.
        while (note >= 0 && !isNote(elements[note].tag) && !kNoteBlocks.contains(elements[note].tag.name))
            note = elements[note].parent;
        if (note < 0 || elements[note].contains(link))
            continue;
        const XmlNode& tag = elements[note].tag;
        if (marked || isNote(tag) || tag.name == u"li" || tag.name == u"p")
            calls.push_back({index, note});
    }
    QHash<int, QList<int>> callsOf; // the links that call each note
    for (const Call& call : calls)
        callsOf[call.note] << call.link;
    const auto inside = [&](int element, int ancestor) {
        for (; element >= 0; element = elements[element].parent)
            if (element == ancestor)
                return true;
        return false;
    };
    const auto insideOtherNote = [&](const Call& call) {
        for (int element = elements[call.link].parent; element >= 0; element = elements[element].parent)
            if (element != call.note && callsOf.contains(element))
                return true;
        return false;
    };

    LiftedNotes lifted;
    QHash<int, qsizetype> noteIndex;
    std::vector<Edit> edits;
    for (const Call& call : calls) {
        // A note called only from inside another note stays where it is.
        if (insideOtherNote(call))
            continue;
        const Element& note = elements[call.note];
        if (!noteIndex.contains(call.note)) {
            noteIndex.insert(call.note, lifted.notes.size());
            // The note's links back to where it is called are no use to a listener.
            std::vector<Edit> backLinks;
            const QList<int>& callers = callsOf[call.note];
            for (int inner = call.note + 1; inner < int(elements.size()) && elements[inner].start < note.end; ++inner) {
                const Element& link = elements[inner];
                if (link.tag.name != u"a")
                    continue;
                const int back = target(link.tag.attribute(QStringLiteral("href")));
                const bool toCall = back >= 0
                    && std::any_of(callers.begin(), callers.end(), [&](int caller) { return inside(caller, back); });
                if (toCall || isBackLink(link.tag))
                    backLinks.push_back({link.start, link.end, {}});
            }
            lifted.notes << applyEdits(html, note.contentStart, note.contentEnd, std::move(backLinks));
            edits.push_back({note.start, note.end, {}});
        }
        // A superscript that holds only the call goes with it.
        const Element& link = elements[call.link];
        const Element& around = link.parent >= 0 ? elements[link.parent] : link;
        const Element& mark = around.tag.name == u"sup" && textOf(around) == textOf(link) ? around : link;
        edits.push_back({mark.start, mark.end, callMark(noteIndex.value(call.note))});
    }
    lifted.text = applyEdits(html, 0, html.size(), std::move(edits));
    return lifted;
}

LiftedNotes liftMarkdownNotes(const QString& source)
{
    using Re = QRegularExpression;
    static const Re definition(QStringLiteral(R"re(^ {0,3}\[\^([^\]\s]+)\]:[ \t]?(.*)$)re"));
    static const Re fence(QStringLiteral(R"re(^ {0,3}(`{3,}|~{3,}))re"));
    static const Re blockStart(QStringLiteral(R"re(^ {0,3}([#>|]|[-*+][ \t]|\d+[.)][ \t]|`{3}|~{3}))re"));
    static const Re call(QStringLiteral(R"re(\[\^([^\]\s]+)\])re"));
    const auto indented = [](const QString& line) { return line.startsWith(u'\t') || line.startsWith(QStringLiteral("    ")); };
    const auto outdented = [](const QString& line) { return line.startsWith(u'\t') ? line.mid(1) : line.mid(4); };

    QStringList lines = withoutCallMarks(source).split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    // Lines inside fenced code are never notes or calls.
    std::vector<bool> code(lines.size(), false);
    QString openFence;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QRegularExpressionMatch match = fence.match(lines[index]);
        if (openFence.isEmpty() && match.hasMatch()) {
            openFence = match.captured(1);
        } else if (!openFence.isEmpty()) {
            if (match.hasMatch() && match.captured(1).startsWith(openFence))
                openFence.clear();
        } else {
            continue;
        }
        code[index] = true;
    }

    QHash<QString, QString> definitions; // by label, case folded
    QStringList kept;
    std::vector<bool> keptCode;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QRegularExpressionMatch match = code[index] ? QRegularExpressionMatch() : definition.match(lines[index]);
        if (!match.hasMatch()) {
            kept << lines[index];
            keptCode.push_back(code[index]);
            continue;
        }
        // A note goes on over indented lines (blank lines between them) and lines that follow its
        // text straight on.
        QStringList note{match.captured(2)};
        qsizetype next = index + 1;
        while (next < lines.size() && !code[next]) {
            const QString& line = lines[next];
            if (indented(line)) {
                note << outdented(line);
            } else if (line.trimmed().isEmpty()) {
                qsizetype after = next;
                while (after < lines.size() && lines[after].trimmed().isEmpty())
                    ++after;
                if (after == lines.size() || !indented(lines[after]))
                    break;
                for (; next < after; ++next)
                    note << QString();
                continue;
            } else if (note.back().trimmed().isEmpty() || definition.match(line).hasMatch()
                       || blockStart.match(line).hasMatch()) {
                break;
            } else {
                note << line;
            }
            ++next;
        }
        const QString label = match.captured(1).toCaseFolded();
        if (!definitions.contains(label))
            definitions.insert(label, note.join(u'\n'));
        index = next - 1;
    }

    LiftedNotes lifted;
    QHash<QString, qsizetype> noteIndex;
    for (qsizetype index = 0; index < kept.size(); ++index) {
        if (keptCode[index])
            continue;
        QString& line = kept[index];
        QString result;
        qsizetype at = 0;
        for (auto it = call.globalMatch(line); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const QString label = match.captured(1).toCaseFolded();
            // Not inside inline code: an odd number of backticks before it opens a code span.
            if (!definitions.contains(label) || QStringView(line).left(match.capturedStart()).count(u'`') % 2 == 1)
                continue;
            if (!noteIndex.contains(label)) {
                noteIndex.insert(label, lifted.notes.size());
                lifted.notes << definitions.value(label);
            }
            result += QStringView(line).mid(at, match.capturedStart() - at);
            result += callMark(noteIndex.value(label));
            at = match.capturedEnd();
        }
        if (at > 0)
            line = result + line.mid(at);
    }
    lifted.text = kept.join(u'\n');
    return lifted;
}

QList<int> takeNoteCalls(QString& line)
{
    QList<int> called;
    for (qsizetype start = line.indexOf(kCallStart); start >= 0; start = line.indexOf(kCallStart, start)) {
        const qsizetype end = line.indexOf(kCallEnd, start);
        if (end < 0)
            break;
        called << line.mid(start + 1, end - start - 1).toInt();
        line.remove(start, end - start + 1);
    }
    return called;
}

} // namespace velmor
