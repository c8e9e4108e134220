#include "speech/NumberReading.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace velmor {

namespace {

constexpr std::array<const char16_t*, 10> kDigits{u"ゼロ", u"イチ", u"ニ", u"サン", u"ヨン",
                                                 u"ゴ", u"ロク", u"ナナ", u"ハチ", u"キュー"};
constexpr std::array<const char16_t*, 5> kMyriads{u"", u"マン", u"オク", u"チョー", u"ケー"};
constexpr std::uint64_t kLargest = 9'999'999'999'999'999ULL;

int kanjiDigit(QChar c)
{
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    if (c == u'零')
        return 0;
    return int(digits.indexOf(c));
}

std::uint64_t kanjiUnit(QChar c)
{
    switch (c.unicode()) {
    case u'十': return 10;
    case u'百': return 100;
    case u'千': return 1000;
    default: return 0;
    }
}

std::uint64_t kanjiMyriad(QChar c)
{
    switch (c.unicode()) {
    case u'万': return 10'000ULL;
    case u'億': return 100'000'000ULL;
    case u'兆': return 1'000'000'000'000ULL;
    default: return 0;
    }
}

std::optional<std::uint64_t> asciiValue(QStringView written)
{
    // Commas only between groups of three.
    const qsizetype firstComma = written.indexOf(u',');
    if (firstComma == 0 || (firstComma > 3))
        return std::nullopt;
    std::uint64_t value = 0;
    int digits = 0;
    int sinceComma = 0;
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QChar c = written[i];
        if (c == u',') {
            if (i > firstComma && sinceComma != 3)
                return std::nullopt;
            sinceComma = 0;
            continue;
        }
        if (c < u'0' || c > u'9' || ++digits > 16)
            return std::nullopt;
        ++sinceComma;
        value = value * 10 + std::uint64_t(c.unicode() - u'0');
    }
    if (digits == 0 || (firstComma > 0 && sinceComma != 3))
        return std::nullopt;
    return value;
}

std::optional<std::uint64_t> kanjiValue(QStringView written)
{
    bool positional = true; // 二〇二四: digits only
    for (QChar c : written)
        positional = positional && kanjiDigit(c) >= 0;
    std::uint64_t total = 0;
    if (positional) {
        if (written.size() > 16)
            return std::nullopt;
        for (QChar c : written)
            total = total * 10 + std::uint64_t(kanjiDigit(c));
        return total;
    }
    std::uint64_t section = 0; // below the current myriad
    std::uint64_t digit = 0;
    bool pendingDigit = false;
    for (qsizetype i = 0; i < written.size(); ++i) {
        const QChar c = written[i];
        if (c >= u'0' && c <= u'9') {
            // ASCII digits before a kanji unit, as in 1億2000万.
            if (pendingDigit)
                return std::nullopt;
            qsizetype end = i;
            while (end < written.size() && (written[end].isDigit() || written[end] == u','))
                ++end;
            const std::optional<std::uint64_t> value = asciiValue(written.sliced(i, end - i));
            if (!value)
                return std::nullopt;
            digit = *value;
            pendingDigit = true;
            i = end - 1;
        } else if (const int d = kanjiDigit(c); d >= 0) {
            if (pendingDigit)
                return std::nullopt;
            digit = std::uint64_t(d);
            pendingDigit = true;
        } else if (const std::uint64_t unit = kanjiUnit(c)) {
            section += (pendingDigit ? digit : 1) * unit;
            pendingDigit = false;
        } else if (const std::uint64_t myriad = kanjiMyriad(c)) {
            section += pendingDigit ? digit : 0;
            if (section == 0)
                section = 1;
            total += section * myriad;
            section = 0;
            pendingDigit = false;
        } else {
            return std::nullopt;
        }
    }
    total += section + (pendingDigit ? digit : 0);
    if (total > kLargest)
        return std::nullopt;
    return total;
}

// 0..9999 without the word for 0.
QString groupReading(int n)
{
    QString reading;
    const int thousands = n / 1000;
    const int hundreds = n / 100 % 10;
    const int tens = n / 10 % 10;
    const int ones = n % 10;
    switch (thousands) {
    case 0: break;
    case 1: reading += QStringLiteral("セン"); break;
    case 3: reading += QStringLiteral("サンゼン"); break;
    case 8: reading += QStringLiteral("ハッセン"); break;
    default: reading += QString::fromUtf16(kDigits[std::size_t(thousands)]) + QStringLiteral("セン");
    }
    switch (hundreds) {
    case 0: break;
    case 1: reading += QStringLiteral("ヒャク"); break;
    case 3: reading += QStringLiteral("サンビャク"); break;
    case 6: reading += QStringLiteral("ロッピャク"); break;
    case 8: reading += QStringLiteral("ハッピャク"); break;
    default: reading += QString::fromUtf16(kDigits[std::size_t(hundreds)]) + QStringLiteral("ヒャク");
    }
    if (tens == 1)
        reading += QStringLiteral("ジュー");
    else if (tens > 1)
        reading += QString::fromUtf16(kDigits[std::size_t(tens)]) + QStringLiteral("ジュー");
    if (ones > 0)
        reading += QString::fromUtf16(kDigits[std::size_t(ones)]);
    return reading;
}

// How a counter word changes after the number's last sound.
struct Counter {
    const char16_t* written;
    const char16_t* reading;
    // After イチ, ハチ, ジュー (and, with afterSix, ロク and ヒャク) the number ends in a small ツ
    // and the counter takes this form; null: no change.
    const char16_t* geminated;
    bool afterSix;
    // After サン, セン and マン (and ヨン for 分); null: no change.
    const char16_t* afterSan;
};

constexpr std::array<Counter, 35> kCounters{{
    {u"本", u"ホン", u"ポン", true, u"ボン"},     {u"匹", u"ヒキ", u"ピキ", true, u"ビキ"},
    {u"杯", u"ハイ", u"パイ", true, u"バイ"},     {u"分", u"フン", u"プン", true, u"プン"},
    {u"泊", u"ハク", u"パク", true, u"パク"},     {u"発", u"ハツ", u"パツ", true, u"パツ"},
    {u"歩", u"ホ", u"ポ", true, u"ポ"},           {u"个", u"コ", u"コ", true, nullptr},
    {u"個", u"コ", u"コ", true, nullptr},         {u"回", u"カイ", u"カイ", true, nullptr},
    {u"階", u"カイ", u"カイ", true, u"ガイ"},     {u"軒", u"ケン", u"ケン", true, u"ゲン"},
    {u"件", u"ケン", u"ケン", true, nullptr},     {u"曲", u"キョク", u"キョク", true, nullptr},
    {u"ヶ月", u"カゲツ", u"カゲツ", true, nullptr}, {u"か月", u"カゲツ", u"カゲツ", true, nullptr},
    {u"カ月", u"カゲツ", u"カゲツ", true, nullptr}, {u"ヵ月", u"カゲツ", u"カゲツ", true, nullptr},
    {u"ヶ所", u"カショ", u"カショ", true, nullptr}, {u"か所", u"カショ", u"カショ", true, nullptr},
    {u"校", u"コー", u"コー", true, nullptr},     {u"歳", u"サイ", u"サイ", false, nullptr},
    {u"才", u"サイ", u"サイ", false, nullptr},    {u"冊", u"サツ", u"サツ", false, nullptr},
    {u"足", u"ソク", u"ソク", false, u"ゾク"},    {u"隻", u"セキ", u"セキ", false, nullptr},
    {u"週", u"シュー", u"シュー", false, nullptr}, {u"周", u"シュー", u"シュー", false, nullptr},
    {u"着", u"チャク", u"チャク", false, nullptr}, {u"通", u"ツー", u"ツー", false, nullptr},
    {u"頭", u"トー", u"トー", false, nullptr},    {u"点", u"テン", u"テン", false, nullptr},
    {u"丁目", u"チョーメ", u"チョーメ", false, nullptr}, {u"センチ", u"センチ", u"センチ", false, nullptr},
    {u"キロ", u"キロ", u"キロ", true, nullptr},
}};

// Counters after which 4, 7 and 9 take their other readings.
struct DigitForms {
    const char16_t* written;
    const char16_t* reading;
    const char16_t* four;
    const char16_t* seven;
    const char16_t* nine;
};

constexpr std::array<DigitForms, 6> kDigitForms{{
    {u"月", u"ガツ", u"シ", u"シチ", u"ク"},
    {u"時", u"ジ", u"ヨ", u"シチ", u"ク"},
    {u"時間", u"ジカン", u"ヨ", u"ナナ", u"ク"},
    {u"年", u"ネン", u"ヨ", u"ナナ", u"キュー"},
    {u"円", u"エン", u"ヨ", u"ナナ", u"キュー"},
    {u"人", u"ニン", u"ヨ", u"ナナ", u"キュー"},
}};

constexpr std::array<const char16_t*, 11> kDays{
    nullptr, u"ツイタチ", u"フツカ", u"ミッカ", u"ヨッカ", u"イツカ", u"ムイカ", u"ナノカ", u"ヨーカ", u"ココノカ", u"トーカ"};

// The number read up to its last word, and that word (イチ of 21, ジュー of 30, ビャク of 300),
// with which power of ten it counts (1, 10, 100, 1000, 10000).
struct Split {
    QString head;
    QString last;
    std::uint64_t place = 1;
    int digit = 0;
};

Split split(std::uint64_t n)
{
    Split result;
    for (std::uint64_t place : {1ULL, 10ULL, 100ULL, 1000ULL}) {
        const int digit = int(n / place % 10);
        if (digit == 0)
            continue;
        const std::uint64_t rest = n - std::uint64_t(digit) * place;
        result.head = rest > 0 ? numberReading(rest) : QString();
        result.last = groupReading(int(std::uint64_t(digit) * place));
        result.place = place;
        result.digit = digit;
        return result;
    }
    result.head = numberReading(n);
    result.place = 10000;
    return result;
}

QString sayCounted(std::uint64_t n, const Counter& counter)
{
    Split parts = split(n);
    if (parts.place == 10000)
        return parts.head + QString::fromUtf16(counter.afterSan ? counter.afterSan : counter.reading);
    const bool geminates = counter.geminated
        && ((parts.place == 1 && (parts.digit == 1 || parts.digit == 8 || (counter.afterSix && parts.digit == 6)))
            || parts.place == 10 || (parts.place == 100 && counter.afterSix));
    if (geminates) {
        parts.last.chop(1);
        return parts.head + parts.last + u'ッ' + QString::fromUtf16(counter.geminated);
    }
    const bool afterSan = counter.afterSan
        && ((parts.place == 1 && parts.digit == 3) || parts.place == 1000
            || (counter.written == std::u16string_view(u"分") && parts.place == 1 && parts.digit == 4));
    return parts.head + parts.last + QString::fromUtf16(afterSan ? counter.afterSan : counter.reading);
}

} // namespace

std::optional<std::uint64_t> numberValue(QStringView written)
{
    if (written.isEmpty())
        return std::nullopt;
    const bool ascii = std::all_of(written.begin(), written.end(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii ? asciiValue(written) : kanjiValue(written);
}

QString numberReading(std::uint64_t n)
{
    if (n == 0)
        return QString::fromUtf16(kDigits[0]);
    QString reading;
    std::uint64_t scale = 10'000'000'000'000'000ULL;
    for (int myriad = 4; myriad >= 0; --myriad, scale /= 10000) {
        const int group = int(n / scale % 10000);
        if (group == 0)
            continue;
        if (group == 1 && myriad == 3)
            reading += QStringLiteral("イッ"); // 一兆
        else if (group == 1 && myriad > 0)
            reading += QStringLiteral("イチ");
        else
            reading += groupReading(group);
        reading += QString::fromUtf16(kMyriads[std::size_t(myriad)]);
    }
    return reading;
}

QString digitsReading(QStringView digits)
{
    QString reading;
    for (QChar c : digits)
        if (c >= u'0' && c <= u'9')
            reading += QString::fromUtf16(kDigits[std::size_t(c.unicode() - u'0')]);
    return reading;
}

QString countedReading(std::uint64_t n, QStringView counter, bool afterMonth)
{
    if (counter == u"日") {
        if (n == 1 && !afterMonth)
            return QStringLiteral("イチニチ");
        if (n >= 1 && n <= 10)
            return QString::fromUtf16(kDays[std::size_t(n)]);
        if (n == 20)
            return QStringLiteral("ハツカ");
        if (n % 10 == 4 && n < 100)
            return numberReading(n - 4) + QStringLiteral("ヨッカ");
        return numberReading(n) + QStringLiteral("ニチ");
    }
    if (counter == u"人" && (n == 1 || n == 2))
        return n == 1 ? QStringLiteral("ヒトリ") : QStringLiteral("フタリ");
    if ((counter == u"歳" || counter == u"才") && n == 20)
        return QStringLiteral("ハタチ");
    if (counter.isEmpty())
        return {};
    // The first letter rules out nearly every entry before a whole comparison.
    const auto names = [&counter](const char16_t* written) { return written[0] == counter[0] && counter == written; };
    for (const DigitForms& forms : kDigitForms) {
        if (!names(forms.written))
            continue;
        const char16_t* special = n % 10 == 4 ? forms.four : n % 10 == 7 ? forms.seven : n % 10 == 9 ? forms.nine : nullptr;
        const QString number = special ? (n >= 10 ? numberReading(n - n % 10) : QString()) + QString::fromUtf16(special)
                                       : numberReading(n);
        return number + QString::fromUtf16(forms.reading);
    }
    for (const Counter& entry : kCounters)
        if (names(entry.written))
            return sayCounted(n, entry);
    return {};
}

} // namespace velmor
