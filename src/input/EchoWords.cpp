#include "input/EchoWords.h"

#include "input/TextTrim.h"

#include <QStringList>
#include <algorithm>

namespace velmor {

namespace {

// Lines are indexed from 1 here, as the caret's column counts them; position 0 and positions
// past the end hold no space.
bool spaceAt(const QString& line, qsizetype position)
{
    return position >= 1 && position <= line.size() && line[position - 1] == u' ';
}

// From position `from` (1-based, 0 taken as 1), `count` characters.
QString slice(const QString& line, qsizetype from, qsizetype count = -1)
{
    return line.mid(std::max<qsizetype>(from, 1) - 1, count);
}

} // namespace

std::optional<QString> wordEndedBySpace(const QString& line, int column)
{
    qsizetype before = column - 1;
    while (before > 0 && !spaceAt(line, before))
        --before;
    qsizetype typed = column - 1;
    while (typed <= line.size() && !spaceAt(line, typed))
        ++typed;
    if (typed - before <= 0 || column <= 0)
        return std::nullopt;
    return trimBlanks(slice(line, before, typed - before));
}

std::optional<QString> lastWordOfLine(const QString& line)
{
    qsizetype lastSpace = line.size();
    while (lastSpace > 0 && !spaceAt(line, lastSpace))
        --lastSpace;
    if (lastSpace == line.size())
        return std::nullopt;
    return trimBlanks(slice(line, lastSpace));
}

bool isArticle(const QString& word)
{
    static const QStringList articles{
        QStringLiteral("A"),    QStringLiteral("a"),    QStringLiteral("the"),   QStringLiteral("THE"),
        QStringLiteral("The"),  QStringLiteral("\"A"),  QStringLiteral("\"a"),   QStringLiteral("\"the"),
        QStringLiteral("\"THE"), QStringLiteral("\"The"), QStringLiteral("'A"),  QStringLiteral("'a"),
        QStringLiteral("'the"), QStringLiteral("'THE"), QStringLiteral("'The")};
    return articles.contains(word);
}

namespace {

bool isHalfWidthKatakana(QChar c) { return c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F; }
bool isKatakana(QChar c) { return c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6; }

} // namespace

QString hiraganaReading(const QString& reading)
{
    QString wide;
    wide.reserve(reading.size());
    for (qsizetype i = 0; i < reading.size();) {
        if (isHalfWidthKatakana(reading[i])) {
            // A run at once, so that a following voicing mark joins its kana.
            qsizetype end = i;
            while (end < reading.size() && isHalfWidthKatakana(reading[end]))
                ++end;
            wide += reading.mid(i, end - i).normalized(QString::NormalizationForm_KC);
            i = end;
        } else if (reading[i] == u' ') {
            wide += QChar(0x3000);
            ++i;
        } else if (reading[i].unicode() >= 0x21 && reading[i].unicode() <= 0x7E) {
            wide += QChar(reading[i].unicode() + 0xFEE0);
            ++i;
        } else {
            wide += reading[i++];
        }
    }
    for (QChar& c : wide) {
        if (isKatakana(c))
            c = QChar(c.unicode() - 0x60);
    }
    return wide;
}

bool isKana(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0x3041 && u <= 0x309F) || (u >= 0x30A0 && u <= 0x30FF) || isHalfWidthKatakana(c);
    });
}

} // namespace velmor
