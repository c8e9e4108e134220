#include "QtPrinters.h"

#include "speech/JapaneseNumbers.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Each recognised expression as "its text=its reading", one after another.
QString recognised(const QString& text)
{
    QStringList found;
    for (const velmor::NumberExpression& expression : velmor::findNumberExpressions(text)) {
        QString reading;
        for (const velmor::NumberReadingPart& part : expression.parts) {
            EXPECT_TRUE(expression.begin <= part.begin && part.begin < part.end && part.end <= expression.end)
                << text.toStdString();
            reading += part.reading;
        }
        found << text.mid(expression.begin, expression.end - expression.begin) + u'=' + reading;
    }
    return found.join(u' ');
}

} // namespace

// Where the same digits and signs mean different things, what stands around them decides.
TEST(JapaneseNumbers, AmbiguousDigitsAreReadByWhatTheyAre)
{
    const std::vector<std::pair<QString, QString>> cases{
        // A date and a phone number, both with hyphens; an address, whose hyphens are ノ.
        {QStringLiteral("2024-01-05と03-1234-5678"),
         QStringLiteral("2024-01-05=ニセンニジューヨネンイチガツイツカ 03-1234-5678=ゼロサン、イチニーサンヨン、ゴーロクナナハチ")},
        {QStringLiteral("渋谷2-21-1"), QStringLiteral("2-21-1=ニノニジューイチノイチ")},
        // A hyphen before what is counted is a range; a score after which a win is told.
        {QStringLiteral("3-4人で3-1で勝った"), QStringLiteral("3-4人=サンカラヨニン 3-1=サンタイイチ")},
        // A fraction with a small denominator, a date otherwise or with its weekday.
        {QStringLiteral("1/2と12/25と1/2(火)"),
         QStringLiteral("1/2=ニブンノイチ 12/25=ジューニガツニジューゴニチ 1/2(火)=イチガツフツカカ")},
        {QStringLiteral("10日（日）と5日（土・祝）"), QStringLiteral("10日（日）=トーカニチ 5日（土・祝）=イツカド、シュク")},
        // A version is not a decimal followed by another number.
        {QStringLiteral("バージョン1.2.3と1.25"), QStringLiteral("1.2.3=イチテンニテンサン 1.25=イッテンニーゴ")},
        // Hours past midnight are times; minutes beyond 59 are not, nor a ratio's one digit.
        {QStringLiteral("25:00と25:61と16:9"), QStringLiteral("25:00=ニジューゴジ 16:9=ジューロクタイキュー")},
        // Signs the voice would say in English are read in Japanese or are a pause.
        {QStringLiteral("※±5%・㈱"), QStringLiteral("※=コメ ±=プラスマイナス 5%=ゴパーセント ・=、 ㈱=カブシキガイシャ")},
        // A quantity alone, after a Latin word or with a counter that changes nothing is left to
        // the dictionary.
        {QStringLiteral("第2次 iPhone15 3枚"), QString()},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(recognised(text), expected) << text.toStdString();
}
