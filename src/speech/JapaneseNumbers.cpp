#include "speech/JapaneseNumbers.h"

#include "speech/NumberReading.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

namespace velmor {

namespace {

const QString kPause = QStringLiteral("、");
constexpr std::uint64_t kLargestNumber = 9'999'999'999'999'999ULL;

// Full-width digits, letters and signs, and the other dashes and waves, as the ASCII sign they
// stand for; the wave dashes become '~'.
char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19)
        return char16_t(u - 0xFF10 + u'0');
    if (u >= 0xFF21 && u <= 0xFF3A)
        return char16_t(u - 0xFF21 + u'A');
    if (u >= 0xFF41 && u <= 0xFF5A)
        return char16_t(u - 0xFF41 + u'a');
    switch (u) {
    case u'：': return u':';
    case u'／': return u'/';
    case u'－': case u'‐': case u'‑': case u'‒': case u'–': case u'−': return u'-';
    case u'．': return u'.';
    case u'，': return u',';
    case u'％': return u'%';
    case u'～': case u'〜': return u'~';
    case u'（': return u'(';
    case u'）': return u')';
    case u'￥': return u'¥';
    case u'×': case u'✕': return u'x';
    default: return u;
    }
}

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Digits one by one as they are said in phone numbers and postcodes (2 and 5 long).
QString spelledDigits(QStringView digits)
{
    static const std::array<QString, 10> names{
        QStringLiteral("ゼロ"), QStringLiteral("イチ"), QStringLiteral("ニー"), QStringLiteral("サン"), QStringLiteral("ヨン"),
        QStringLiteral("ゴー"), QStringLiteral("ロク"), QStringLiteral("ナナ"), QStringLiteral("ハチ"), QStringLiteral("キュー")};
    QString reading;
    for (QChar c : digits)
        reading += names[std::size_t(folded(c) - u'0')];
    return reading;
}

// How a number's last sound joins a word after it: a small ツ after イチ, ハチ and ジュー
// before k-, s-, t- and p-sounds (and after ロク and ヒャク before k- and p-sounds).
enum class Joining { None, HardK, HardS, TensOnly };

QString joined(std::uint64_t n, Joining joining)
{
    QString reading = numberReading(n);
    if (joining == Joining::None || n == 0)
        return reading;
    const auto geminate = [&](QStringView ending, QStringView with) {
        if (!reading.endsWith(ending))
            return false;
        reading.chop(ending.size());
        reading += with;
        return true;
    };
    const int ones = int(n % 10);
    if (ones == 0 && n % 100 != 0)
        geminate(u"ジュー", u"ジュッ");
    else if (joining == Joining::TensOnly)
        return reading;
    else if (ones == 1)
        geminate(u"イチ", u"イッ");
    else if (ones == 8)
        geminate(u"ハチ", u"ハッ");
    else if (ones == 6 && joining == Joining::HardK)
        geminate(u"ロク", u"ロッ");
    else if (ones == 0 && n % 1000 != 0 && joining == Joining::HardK)
        geminate(u"ヒャク", u"ヒャッ");
    return reading;
}

struct Unit {
    const char16_t* written;
    const char16_t* reading;
    Joining joining;
};

// Longer spellings first: the first that matches is taken.
constexpr Unit kUnits[] = {
    {u"kcal", u"キロカロリー", Joining::HardK}, {u"km", u"キロメートル", Joining::HardK},
    {u"kg", u"キログラム", Joining::HardK},     {u"cm", u"センチメートル", Joining::HardS},
    {u"mm", u"ミリメートル", Joining::None},    {u"mg", u"ミリグラム", Joining::None},
    {u"ml", u"ミリリットル", Joining::None},    {u"mL", u"ミリリットル", Joining::None},
    {u"dl", u"デシリットル", Joining::None},    {u"dL", u"デシリットル", Joining::None},
    {u"cc", u"シーシー", Joining::HardS},       {u"m", u"メートル", Joining::None},
    {u"g", u"グラム", Joining::None},           {u"L", u"リットル", Joining::None},
    {u"㎏", u"キログラム", Joining::HardK},     {u"㎞", u"キロメートル", Joining::HardK},
    {u"㎝", u"センチメートル", Joining::HardS}, {u"㎜", u"ミリメートル", Joining::None},
    {u"㎎", u"ミリグラム", Joining::None},      {u"㎖", u"ミリリットル", Joining::None},
    {u"ℓ", u"リットル", Joining::None},         {u"㎡", u"ヘーホーメートル", Joining::None},
};

// Counter words after a number. base: the counter whose sound changes apply (none: the number
// as it is), suffix: said after that.
struct CounterWord {
    const char16_t* written;
    const char16_t* base;
    const char16_t* suffix;
};

constexpr CounterWord kCounterWords[] = {
    {u"日間", u"日", u"カン"},       {u"日", u"日", u""},           {u"分間", u"分", u"カン"},
    {u"分", u"分", u""},             {u"年度", u"年", u"ド"},       {u"年間", u"年", u"カン"},
    {u"年生", u"年", u"セー"},       {u"年", u"年", u""},           {u"ヶ月間", u"ヶ月", u"カン"},
    {u"か月間", u"か月", u"カン"},   {u"カ月間", u"カ月", u"カン"}, {u"ヵ月間", u"ヵ月", u"カン"},
    {u"ヶ月", u"ヶ月", u""},         {u"か月", u"か月", u""},       {u"カ月", u"カ月", u""},
    {u"ヵ月", u"ヵ月", u""},         {u"月", u"月", u""},           {u"時間", u"時間", u""},
    {u"時", u"時", u""},             {u"週間", u"週", u"カン"},     {u"週", u"週", u""},
    {u"秒間", nullptr, u"ビョーカン"}, {u"秒", nullptr, u"ビョー"},   {u"度", nullptr, u"ド"},
    {u"人前", u"人前", u"マエ"},     {u"人", u"人", u""},             {u"円", u"円", u""},           {u"本", u"本", u""},
    {u"匹", u"匹", u""},             {u"杯", u"杯", u""},           {u"泊", u"泊", u""},
    {u"発", u"発", u""},             {u"歩", u"歩", u""},           {u"個入り", u"個", u"イリ"},   {u"個", u"個", u""},
    {u"回", u"回", u""},             {u"階", u"階", u""},           {u"軒", u"軒", u""},
    {u"件", u"件", u""},             {u"曲", u"曲", u""},           {u"ヶ所", u"ヶ所", u""},
    {u"か所", u"か所", u""},         {u"校", u"校", u""},           {u"歳", u"歳", u""},
    {u"才", u"才", u""},             {u"冊", u"冊", u""},           {u"足", u"足", u""},
    {u"隻", u"隻", u""},             {u"周", u"周", u""},           {u"着", u"着", u""},
    {u"通", u"通", u""},             {u"頭", u"頭", u""},           {u"点", u"点", u""},
    {u"丁目", u"丁目", u""},         {u"センチ", u"センチ", u""},   {u"キロ", u"キロ", u""},
};

constexpr std::array<const char16_t*, 11> kThings{
    nullptr, u"ヒトツ", u"フタツ", u"ミッツ", u"ヨッツ", u"イツツ", u"ムッツ", u"ナナツ", u"ヤッツ", u"ココノツ", u"トー"};

// ①, ⑴, ⒈, ❶, ➀, ➊, ⓫ and ㉑ to ㊿: the number written in a circle or brackets, else 0.
int enclosedNumber(char16_t c)
{
    struct Range {
        char16_t first;
        char16_t last;
        int value; // of the first
    };
    static constexpr Range kRanges[] = {
        {0x2460, 0x2473, 1}, {0x2474, 0x2487, 1}, {0x2488, 0x249B, 1}, {0x24EB, 0x24F4, 11}, {0x24F5, 0x24FE, 1},
        {0x2776, 0x277F, 1}, {0x2780, 0x2789, 1}, {0x278A, 0x2793, 1}, {0x3251, 0x325F, 21}, {0x32B1, 0x32BF, 36},
    };
    for (const Range& range : kRanges)
        if (c >= range.first && c <= range.last)
            return range.value + (c - range.first);
    return 0;
}

// Tenths, hundredths and thousandths as rates and batting averages are said (3割2分5厘).
struct RateUnit {
    char16_t written;
    const char16_t* reading;
};
constexpr std::array<RateUnit, 3> kRateUnits{{{u'割', u"ワリ"}, {u'分', u"ブ"}, {u'厘', u"リン"}}};

QString weekdayReading(QChar c)
{
    switch (c.unicode()) {
    case u'月': return QStringLiteral("ゲツ");
    case u'火': return QStringLiteral("カ");
    case u'水': return QStringLiteral("スイ");
    case u'木': return QStringLiteral("モク");
    case u'金': return QStringLiteral("キン");
    case u'土': return QStringLiteral("ド");
    case u'日': return QStringLiteral("ニチ");
    case u'祝': return QStringLiteral("シュク");
    default: return {};
    }
}

std::uint64_t myriadOf(QChar c)
{
    switch (c.unicode()) {
    case u'万': return 10'000ULL;
    case u'億': return 100'000'000ULL;
    case u'兆': return 1'000'000'000'000ULL;
    default: return 0;
    }
}

std::uint64_t valueOf(QStringView digits)
{
    std::uint64_t value = 0;
    for (QChar c : digits)
        value = value * 10 + std::uint64_t(folded(c) - u'0');
    return value;
}

// A number as written: digits with commas between thousands, myriads (3万8000), a decimal
// part, or the parts of a version (1.2.3).
struct Number {
    int begin = 0;
    int end = 0;
    std::uint64_t value = 0;
    QString digits;        // the integer digits when the number is one plain run
    bool grouped = false;  // commas or myriads
    QString fraction;      // digits after a decimal point
    QStringList versionParts;

    bool plainRun() const { return !grouped && fraction.isEmpty() && versionParts.isEmpty(); }
    bool leadingZero() const { return digits.size() > 1 && digits.front() == u'0'; }
};

enum class ItemKind { Plain, Quantity, Counted, Day, Time, Date, Temperature };

// One thing that is read as a whole: a number with what it counts, a time, a date.
struct Item {
    int end = 0;
    ItemKind kind = ItemKind::Plain;
    std::vector<NumberReadingPart> parts;
    bool endsWithMonth = false;
    // The dictionary would read it otherwise; a number with a counter it reads right (3本,
    // 5階建て) is left to it, with the words around it.
    bool ownReading = true;
};

class Scanner {
public:
    explicit Scanner(QStringView text) : m_text(text), m_size(int(text.size())) {}

    std::vector<NumberExpression> run()
    {
        std::vector<NumberExpression> found;
        int monthEnd = -1; // where the last month read ends: a day right after it is a date
        for (int i = 0; i < m_size;) {
            if (!mayStart(m_text[i].unicode())) {
                ++i;
                continue;
            }
            if (startsNumber(i) || (at(i) == u'¥' && isDigit(at(i + 1)))) {
                bool endsWithMonth = false;
                if (std::optional<NumberExpression> expression = expressionAt(i, i == monthEnd, endsWithMonth)) {
                    i = expression->end;
                    monthEnd = endsWithMonth ? i : -1;
                    found.push_back(std::move(*expression));
                    continue;
                }
                i = skipNumber(i);
                continue;
            }
            if (std::optional<NumberExpression> average = averageAt(i)) {
                i = average->end;
                found.push_back(std::move(*average));
                continue;
            }
            if (std::optional<NumberExpression> sign = signAt(i, found.empty() ? 0 : found.back().end)) {
                i = sign->end;
                found.push_back(std::move(*sign));
                continue;
            }
            ++i;
        }
        return found;
    }

private:
    // Most of a text is kana, kanji and letters that start nothing: passed over at once.
    static bool mayStart(char16_t c)
    {
        if (c < 0x80)
            return isDigit(c) || c == u'-' || c == u'~' || c == u'%' || c == u'.';
        if (c >= 0x3040 && c < 0xFF00)
            return c == u'・' || c == u'㈱' || c == u'㎡' || (c >= u'㉑' && c <= u'㊿' && enclosedNumber(c) > 0);
        return true;
    }

    char16_t at(int i) const { return i >= 0 && i < m_size ? folded(m_text[i]) : u'\0'; }
    QChar raw(int i) const { return i >= 0 && i < m_size ? m_text[i] : QChar(); }
    bool digitAt(int i) const { return isDigit(at(i)); }
    bool rawStartsWith(int i, QStringView word) const { return m_text.sliced(i).startsWith(word); }

    bool startsNumber(int i) const
    {
        if (!digitAt(i) || digitAt(i - 1) || isAsciiLetter(at(i - 1)))
            return false;
        const char16_t before = at(i - 1);
        return !((before == u',' || before == u'.' || before == u':' || before == u'-' || before == u'/') && digitAt(i - 2));
    }

    int skipNumber(int i) const
    {
        if (at(i) == u'¥')
            ++i;
        while (digitAt(i) || ((at(i) == u',' || at(i) == u'.') && digitAt(i + 1)))
            ++i;
        return i;
    }

    // A run of digits from i; with commas when allowed and well placed.
    int digitRun(int i, bool commas, QString& digits) const
    {
        int j = i;
        while (digitAt(j))
            ++j;
        // The run at once, folded: digits one by one cost an allocation each.
        const qsizetype first = digits.size();
        digits.resize(first + (j - i));
        QChar* out = digits.data() + first;
        for (int k = i; k < j; ++k)
            *out++ = QChar(at(k));
        if (commas && digits.size() <= 3) {
            while (at(j) == u',' && digitAt(j + 1) && digitAt(j + 2) && digitAt(j + 3) && !digitAt(j + 4)) {
                for (int k = 1; k <= 3; ++k)
                    digits += QChar(at(j + k));
                j += 4;
            }
        }
        return j;
    }

    std::optional<Number> numberAt(int i) const
    {
        Number number;
        number.begin = i;
        int j = i;
        std::uint64_t total = 0;
        std::uint64_t lastMyriad = ~0ULL;
        for (bool first = true;; first = false) {
            QString group;
            const int groupEnd = digitRun(j, true, group);
            if (group.size() > 16)
                return std::nullopt;
            if (groupEnd - j != group.size())
                number.grouped = true;
            if (first)
                number.digits = group;
            j = groupEnd;
            const std::uint64_t myriad = myriadOf(raw(j));
            if (myriad && myriad < lastMyriad && !group.isEmpty()) {
                // Beyond what a number is read as (兆 of 兆): left as it is.
                if (valueOf(group) > kLargestNumber / myriad)
                    return std::nullopt;
                total += valueOf(group) * myriad;
                lastMyriad = myriad;
                number.grouped = true;
                ++j;
                if (digitAt(j))
                    continue;
            } else {
                total += valueOf(group);
            }
            break;
        }
        number.value = total;
        if (!number.grouped && at(j) == u'.' && digitAt(j + 1)) {
            QString fraction;
            j = digitRun(j + 1, false, fraction);
            if (at(j) == u'.' && digitAt(j + 1)) {
                number.versionParts << number.digits << fraction;
                while (at(j) == u'.' && digitAt(j + 1)) {
                    QString part;
                    j = digitRun(j + 1, false, part);
                    number.versionParts << part;
                }
            } else {
                number.fraction = fraction;
            }
        }
        number.end = j;
        return number;
    }

    static QString decimalReading(const Number& number)
    {
        QString reading;
        switch (number.value) {
        case 0: reading = QStringLiteral("レー"); break;
        case 2: reading = QStringLiteral("ニー"); break;
        case 5: reading = QStringLiteral("ゴー"); break;
        default: reading = joined(number.value, Joining::HardS);
        }
        reading += QStringLiteral("テン");
        for (qsizetype k = 0; k < number.fraction.size(); ++k) {
            const QChar digit = number.fraction[k];
            const bool last = k + 1 == number.fraction.size();
            reading += last ? digitsReading(QStringView(&digit, 1)) : spelledDigits(QStringView(&digit, 1));
        }
        return reading;
    }

    // The number alone, as a quantity.
    static QString quantityReading(const Number& number)
    {
        if (!number.versionParts.isEmpty()) {
            QStringList parts;
            for (const QString& part : number.versionParts)
                parts << (part.size() > 1 && part.front() == u'0' ? digitsReading(part) : numberReading(valueOf(part)));
            return parts.join(QStringLiteral("テン"));
        }
        if (!number.fraction.isEmpty())
            return decimalReading(number);
        if (number.leadingZero())
            return digitsReading(number.digits);
        return numberReading(number.value);
    }

    // 3割2分5厘, 9分9厘: at least two of the units, in order; 分 is then ブ, not フン.
    std::optional<Item> rateAt(int i) const
    {
        struct Share {
            int begin;
            int end; // of the digits; the unit follows
            std::size_t unit;
        };
        std::vector<Share> shares;
        std::size_t unit = 0;
        for (int j = i; unit < kRateUnits.size() && digitAt(j);) {
            int end = j;
            while (digitAt(end))
                ++end;
            while (unit < kRateUnits.size() && raw(end) != kRateUnits[unit].written)
                ++unit;
            if (unit == kRateUnits.size())
                break;
            shares.push_back({j, end, unit++});
            j = end + 1;
        }
        if (shares.size() < 2)
            return std::nullopt;
        Item rate{shares.back().end + 1, ItemKind::Quantity, {}, false};
        for (const Share& share : shares)
            rate.parts.push_back({numberReading(valueOf(m_text.sliced(share.begin, share.end - share.begin)))
                                      + QString::fromUtf16(kRateUnits[share.unit].reading),
                                  share.begin, share.end + 1});
        return rate;
    }

    // .325, as batting averages are written: 割, 分 and 厘 for its three digits, the point silent.
    std::optional<NumberExpression> averageAt(int i) const
    {
        if (at(i) != u'.' || digitAt(i - 1) || isAsciiLetter(at(i - 1)) || !digitAt(i + 1) || !digitAt(i + 2)
            || !digitAt(i + 3) || digitAt(i + 4) || at(i + 4) == u'.' || isAsciiLetter(at(i + 4)))
            return std::nullopt;
        NumberExpression average{i, i + 4, {}};
        for (int k = 0; k < 3; ++k)
            if (const std::uint64_t digit = valueOf(m_text.sliced(i + 1 + k, 1)))
                average.parts.push_back(
                    {numberReading(digit) + QString::fromUtf16(kRateUnits[std::size_t(k)].reading), i + 1 + k, i + 2 + k});
        return average.parts.empty() ? std::nullopt : std::optional<NumberExpression>(average);
    }

    // 1:23:45 as hours, minutes and seconds taken (a race, a recording); a clock time with
    // seconds is said as one where the hour is written as a clock writes it.
    std::optional<Item> durationAt(const Number& hours, int j) const
    {
        if (at(j) != u':' || !digitAt(j + 1) || !digitAt(j + 2) || at(j + 3) != u':' || !digitAt(j + 4) || !digitAt(j + 5)
            || digitAt(j + 6))
            return std::nullopt;
        const std::uint64_t minutes = valueOf(m_text.sliced(j + 1, 2));
        const std::uint64_t seconds = valueOf(m_text.sliced(j + 4, 2));
        if (minutes > 59 || seconds > 59)
            return std::nullopt;
        const bool clock = (hours.digits.size() == 2 && !hours.leadingZero() && hours.value <= 47)
            || m_text.first(hours.begin).endsWith(u"午前") || m_text.first(hours.begin).endsWith(u"午後");
        Item taken{j + 6, clock ? ItemKind::Time : ItemKind::Quantity, {}, false};
        if (clock)
            taken.parts.push_back({hours.value == 0 ? QStringLiteral("レージ") : countedReading(hours.value, u"時", false), hours.begin, j});
        else if (hours.value > 0)
            taken.parts.push_back({countedReading(hours.value, u"時間", false), hours.begin, j});
        if (minutes > 0)
            taken.parts.push_back({countedReading(minutes, u"分", false), j + 1, j + 3});
        if (seconds > 0 || taken.parts.empty())
            taken.parts.push_back({numberReading(seconds) + QStringLiteral("ビョー"), j + 4, j + 6});
        return taken;
    }

    // （月）, (水), （土・祝）: the weekday after a date.
    std::optional<Item> weekdayMarkAt(int i) const
    {
        if (at(i) != u'(')
            return std::nullopt;
        Item mark;
        int j = i + 1;
        for (;;) {
            const QString day = weekdayReading(raw(j));
            if (day.isEmpty())
                return std::nullopt;
            int dayEnd = j + 1;
            QString reading = day;
            if (rawStartsWith(dayEnd, u"曜日")) {
                reading += QStringLiteral("ヨービ");
                dayEnd += 2;
            } else if (rawStartsWith(dayEnd, u"曜")) {
                reading += QStringLiteral("ヨー");
                dayEnd += 1;
            }
            mark.parts.push_back({reading, j, dayEnd});
            j = dayEnd;
            if (raw(j) == u'・' || at(j) == u',' || raw(j) == u'、') {
                mark.parts.push_back({kPause, j, j + 1});
                ++j;
                continue;
            }
            break;
        }
        if (at(j) != u')')
            return std::nullopt;
        mark.end = j + 1;
        return mark;
    }

    bool weekdayMarkFollows(int i) const { return weekdayMarkAt(i).has_value(); }

    // A range or a size goes on after what stands before k.
    bool joinerAt(int k) const { return at(k) == u'~' || (at(k) == u'x' && raw(k) != u'x'); }

    // The counter word at i that the number n is read with, its reading and its end.
    // alone: the number starts an expression, so that when nothing joins it and the dictionary
    // reads it right anyway, its reading is not needed.
    std::optional<Item> countedAt(const Number& number, int i, bool afterMonth, bool alone = false) const
    {
        const std::uint64_t n = number.value;
        if (number.leadingZero() || !number.fraction.isEmpty() || !number.versionParts.isEmpty())
            return std::nullopt;
        if (raw(i) == u'つ' && n >= 1 && n <= 10 && !number.grouped)
            return Item{i + 1, ItemKind::Counted, {{QString::fromUtf16(kThings[std::size_t(n)]), number.begin, i + 1}}, false};
        for (const CounterWord& word : kCounterWords) {
            if (word.written[0] != raw(i).unicode())
                continue;
            const QStringView written(word.written);
            if (!rawStartsWith(i, written))
                continue;
            const int end = i + int(written.size());
            const QStringView base = word.base ? QStringView(word.base) : QStringView();
            const bool own = (word.base && word.suffix[0] != u'\0') || (base == u"時" && n == 0);
            if (alone && !own && !joinerAt(end) && !(written == u"日" && weekdayMarkFollows(end)))
                return Item{end, ItemKind::Counted, {}, false, false};
            QString reading;
            ItemKind kind = ItemKind::Counted;
            if (base.isEmpty()) {
                reading = numberReading(n);
                if (written == u"度")
                    kind = ItemKind::Temperature;
            } else if (base == u"人前") {
                // Portions: 2人前 is ニニンマエ, never フタリ.
                reading = n <= 2 ? numberReading(n) + QStringLiteral("ニン") : countedReading(n, u"人", false);
            } else if (base == u"時" && n == 0) {
                reading = QStringLiteral("レージ");
            } else {
                const bool day = written == u"日";
                const bool date = day && (afterMonth || weekdayMarkFollows(end));
                reading = countedReading(n, base, date);
                if (day)
                    kind = ItemKind::Day;
            }
            if (reading.isEmpty())
                return std::nullopt;
            reading += QStringView(word.suffix);
            return Item{end, kind, {{reading, number.begin, end}}, base == u"月", own};
        }
        return std::nullopt;
    }

    // What stands right after a number: a percent sign, a temperature or a unit.
    std::optional<Item> measureAt(const Number& number, int i) const
    {
        const char16_t sign = at(i);
        if (!isAsciiLetter(sign) && sign != u'%' && (sign < 0x2100 || sign > 0x33FF) && sign != u'°')
            return std::nullopt;
        const bool whole = number.fraction.isEmpty() && number.versionParts.isEmpty() && !number.leadingZero();
        const auto read = [&](Joining joining) { return whole ? joined(number.value, joining) : quantityReading(number); };
        if (at(i) == u'%')
            return Item{i + 1, ItemKind::Quantity, {{read(Joining::TensOnly) + QStringLiteral("パーセント"), number.begin, i + 1}}, false};
        if (raw(i) == u'℃' || (raw(i) == u'°' && (at(i + 1) == u'C')))
            return Item{i + (raw(i) == u'℃' ? 1 : 2), ItemKind::Temperature,
                        {{quantityReading(number) + QStringLiteral("ド"), number.begin, i + (raw(i) == u'℃' ? 1 : 2)}}, false};
        for (const Unit& unit : kUnits) {
            if (unit.written[0] != sign && unit.written[0] != raw(i).unicode())
                continue;
            const QStringView written(unit.written);
            bool matches = i + written.size() <= m_size;
            for (qsizetype k = 0; matches && k < written.size(); ++k)
                matches = at(i + int(k)) == written[k].unicode() || raw(i + int(k)) == written[k];
            const int end = i + int(written.size());
            if (!matches || isAsciiLetter(at(end)))
                continue;
            return Item{end, ItemKind::Quantity, {{read(unit.joining) + QString::fromUtf16(unit.reading), number.begin, end}}, false};
        }
        return std::nullopt;
    }

    Item dateItem(const std::vector<std::pair<int, int>>& groups, int end, bool withYear) const
    {
        Item date{end, ItemKind::Date, {}, false};
        std::size_t g = 0;
        const auto valueAt = [&](std::size_t k) { return valueOf(m_text.sliced(groups[k].first, groups[k].second - groups[k].first)); };
        if (withYear) {
            date.parts.push_back({countedReading(valueAt(0), u"年", false), groups[0].first, groups[0].second});
            ++g;
        }
        date.parts.push_back({countedReading(valueAt(g), u"月", false), groups[g].first, groups[g].second});
        if (g + 1 < groups.size())
            date.parts.push_back({countedReading(valueAt(g + 1), u"日", true), groups[g + 1].first, groups[g + 1].second});
        else
            date.endsWithMonth = true;
        return date;
    }

    // Digit groups joined by the separator sep from the number at i.
    std::vector<std::pair<int, int>> groupsFrom(int i, char16_t sep, int& end) const
    {
        std::vector<std::pair<int, int>> groups;
        int j = i;
        for (;;) {
            QString digits;
            const int groupEnd = digitRun(j, false, digits);
            groups.push_back({j, groupEnd});
            j = groupEnd;
            if (at(j) != sep || !digitAt(j + 1))
                break;
            ++j;
        }
        end = j;
        return groups;
    }

    static bool validDate(std::uint64_t month, std::uint64_t day) { return month >= 1 && month <= 12 && day >= 1 && day <= 31; }

    std::optional<Item> hyphenedAt(int i) const
    {
        int end = 0;
        const std::vector<std::pair<int, int>> groups = groupsFrom(i, u'-', end);
        const auto text = [&](std::size_t k) { return m_text.sliced(groups[k].first, groups[k].second - groups[k].first); };
        const auto size = [&](std::size_t k) { return groups[k].second - groups[k].first; };
        int digits = 0;
        for (std::size_t k = 0; k < groups.size(); ++k)
            digits += size(k);
        if (groups.size() == 3 && size(0) == 4 && at(i) != u'0' && size(1) <= 2 && size(2) <= 2
            && validDate(valueOf(text(1)), valueOf(text(2))))
            return dateItem(groups, end, true);
        const bool phone = at(i) == u'0' || digits >= 10;
        const bool postcode = groups.size() == 2 && size(0) == 3 && size(1) == 4;
        if (phone || postcode) {
            Item spelled{end, ItemKind::Quantity, {}, false};
            for (std::size_t k = 0; k < groups.size(); ++k) {
                if (k > 0)
                    spelled.parts.push_back({kPause, groups[k - 1].second, groups[k].first});
                spelled.parts.push_back({spelledDigits(text(k)), groups[k].first, groups[k].second});
            }
            return spelled;
        }
        if (groups.size() == 2) {
            // 3-4人: a range of what the second number counts.
            std::optional<Number> second = numberAt(groups[1].first);
            std::optional<Item> counted = countedAt(*second, second->end, false);
            if (!counted)
                counted = measureAt(*second, second->end);
            if (counted) {
                Item range{counted->end, counted->kind, {{numberReading(valueOf(text(0))), i, groups[0].second}}, false};
                range.parts.push_back({QStringLiteral("カラ"), groups[0].second, groups[1].first});
                range.parts.insert(range.parts.end(), counted->parts.begin(), counted->parts.end());
                return range;
            }
        }
        // A score (3-1で勝った) or else an address, where the hyphen is read ノ.
        const QStringView after = m_text.sliced(end);
        const bool score = groups.size() == 2
            && (valueOf(text(0)) == 0 || valueOf(text(1)) == 0 || after.startsWith(u"でリード") || after.startsWith(u"で勝") || after.startsWith(u"で負") || after.startsWith(u"で敗") || after.startsWith(u"で引")
                || after.startsWith(u"で逆転") || after.startsWith(u"の勝") || after.startsWith(u"の引"));
        Item address{end, ItemKind::Quantity, {}, false};
        for (std::size_t k = 0; k < groups.size(); ++k) {
            if (k > 0)
                address.parts.push_back({score ? QStringLiteral("タイ") : QStringLiteral("ノ"), groups[k - 1].second, groups[k].first});
            address.parts.push_back({numberReading(valueOf(text(k))), groups[k].first, groups[k].second});
        }
        return address;
    }

    std::optional<Item> slashedAt(int i) const
    {
        int end = 0;
        const std::vector<std::pair<int, int>> groups = groupsFrom(i, u'/', end);
        const auto value = [&](std::size_t k) { return valueOf(m_text.sliced(groups[k].first, groups[k].second - groups[k].first)); };
        const auto size = [&](std::size_t k) { return groups[k].second - groups[k].first; };
        if (groups.size() == 3)
            return validDate(value(1), value(2)) ? std::optional<Item>(dateItem(groups, end, true)) : std::nullopt;
        if (groups.size() != 2)
            return std::nullopt;
        if (size(0) == 4 && value(1) >= 1 && value(1) <= 12)
            return dateItem(groups, end, true);
        const bool leadingZero = at(groups[0].first) == u'0' || at(groups[1].first) == u'0';
        const bool likeFraction = value(1) <= 10 && value(0) < value(1);
        if (validDate(value(0), value(1)) && (leadingZero || !likeFraction || weekdayMarkFollows(end)))
            return dateItem(groups, end, false);
        if (value(1) == 0 || leadingZero)
            return std::nullopt;
        return Item{end, ItemKind::Quantity,
                    {{numberReading(value(1)) + QStringLiteral("ブンノ") + numberReading(value(0)), i, end}}, false};
    }

    // A number with what it counts or measures, a clock time, a date, a price; Plain for a
    // number that is only a quantity.
    std::optional<Item> itemAt(int i, bool afterMonth, bool alone = false) const
    {
        if (at(i) == u'¥') {
            const std::optional<Number> price = numberAt(i + 1);
            if (!price || !price->fraction.isEmpty() || !price->versionParts.isEmpty() || price->leadingZero())
                return std::nullopt;
            return Item{price->end, ItemKind::Counted, {{countedReading(price->value, u"円", false), i, price->end}}, false};
        }
        const std::optional<Number> number = numberAt(i);
        if (!number)
            return std::nullopt;
        const int j = number->end;
        if (number->plainRun() && number->digits.size() <= 2)
            if (std::optional<Item> taken = durationAt(*number, j))
                return taken;
        if (number->plainRun() && number->digits.size() <= 2 && at(j) == u':' && digitAt(j + 1) && digitAt(j + 2)
            && !digitAt(j + 3)) {
            const std::uint64_t hour = number->value;
            const std::uint64_t minute = valueOf(m_text.sliced(j + 1, 2));
            if (hour <= 47 && minute <= 59) {
                Item time{j + 3, ItemKind::Time, {{hour == 0 ? QStringLiteral("レージ") : countedReading(hour, u"時", false), i, j}}, false};
                if (minute > 0)
                    time.parts.push_back({countedReading(minute, u"分", false), j + 1, j + 3});
                return time;
            }
        }
        if (number->plainRun() && at(j) == u':' && digitAt(j + 1)) {
            // A ratio (16:9, 1:2), where what follows the colon cannot be minutes.
            QString right;
            const int end = digitRun(j + 1, false, right);
            if (right.size() != 2 && right.size() <= 3 && at(end) != u':')
                return Item{end, ItemKind::Quantity,
                            {{quantityReading(*number), i, j}, {QStringLiteral("タイ"), j, j + 1}, {numberReading(valueOf(right)), j + 1, end}},
                            false};
        }
        if (number->plainRun() && at(j) == u'-' && digitAt(j + 1))
            return hyphenedAt(i);
        if (number->plainRun() && at(j) == u'/' && digitAt(j + 1))
            return slashedAt(i);
        if (number->plainRun() && (raw(j) == u'割' || raw(j) == u'分'))
            if (std::optional<Item> rate = rateAt(i))
                return rate;
        if (std::optional<Item> measured = measureAt(*number, j))
            return measured;
        if (std::optional<Item> counted = countedAt(*number, j, afterMonth, alone))
            return counted;
        if (number->plainRun())
            return Item{j, ItemKind::Plain, {}, false}; // read only if a range joins it
        return Item{j, ItemKind::Quantity, {{quantityReading(*number), i, j}}, false};
    }

    std::optional<NumberExpression> expressionAt(int i, bool afterMonth, bool& endsWithMonth) const
    {
        std::optional<Item> item = itemAt(i, afterMonth, true);
        if (!item)
            return std::nullopt;
        if (item->kind == ItemKind::Plain && !joinerAt(item->end))
            return std::nullopt;
        NumberExpression expression{i, item->end, {}};
        bool joinedAny = false;
        for (int from = i;;) {
            if (item->kind == ItemKind::Plain)
                item->parts.push_back({quantityReading(*numberAt(from)), from, item->end});
            expression.parts.insert(expression.parts.end(), item->parts.begin(), item->parts.end());
            int k = item->end;
            if (item->kind == ItemKind::Date || item->kind == ItemKind::Day) {
                if (std::optional<Item> mark = weekdayMarkAt(k)) {
                    expression.parts.insert(expression.parts.end(), mark->parts.begin(), mark->parts.end());
                    k = mark->end;
                    joinedAny = true;
                }
            }
            expression.end = k;
            endsWithMonth = item->endsWithMonth && k == item->end;
            // Ranges (10:00〜18:00, 3～5日, 10:00-18:00) and sizes (30×40cm).
            const char16_t sign = at(k);
            const bool range = sign == u'~' || (sign == u'-' && item->kind == ItemKind::Time);
            const bool times = sign == u'x' && raw(k) != u'x' && item->kind != ItemKind::Time;
            if (!range && !times)
                break;
            const int next = k + 1;
            std::optional<Item> following = (digitAt(next) || (at(next) == u'¥' && digitAt(next + 1)))
                ? itemAt(next, false) : std::nullopt;
            if (following && sign == u'-' && following->kind != ItemKind::Time)
                following.reset();
            if (!following) {
                if (sign != u'~')
                    break;
                expression.parts.push_back({QStringLiteral("カラ"), k, next});
                expression.end = next;
                endsWithMonth = false;
                return expression;
            }
            expression.parts.push_back({times ? QStringLiteral("カケル") : QStringLiteral("カラ"), k, next});
            item = std::move(following);
            from = next;
            joinedAny = true;
        }
        if ((item->kind == ItemKind::Plain || !item->ownReading) && !joinedAny)
            return std::nullopt;
        return expression;
    }

    static bool isHan(QChar c) { return c.script() == QChar::Script_Han; }

    // 月～金: weekdays on both sides of the wave, each a word of its own.
    std::optional<NumberExpression> weekdayRangeAt(int i, int free) const
    {
        const QString from = weekdayReading(raw(i - 1));
        const QString to = weekdayReading(raw(i + 1));
        if (i - 1 < free || from.isEmpty() || to.isEmpty() || isHan(raw(i - 2)) || (isHan(raw(i + 2)) && raw(i + 2) != u'曜'))
            return std::nullopt;
        return NumberExpression{i - 1, i + 2, {{from, i - 1, i}, {QStringLiteral("カラ"), i, i + 1}, {to, i + 1, i + 2}}};
    }

    // Signs a Japanese reader says as words, or pauses at; free: where text not yet read begins.
    std::optional<NumberExpression> signAt(int i, int free) const
    {
        const QChar c = raw(i);
        const auto one = [&](const QString& reading) {
            return NumberExpression{i, i + 1, {{reading, i, i + 1}}};
        };
        if (const int enclosed = enclosedNumber(c.unicode()))
            return one(numberReading(std::uint64_t(enclosed)));
        switch (c.unicode()) {
        case u'★': case u'☆': {
            int end = i;
            while (raw(end) == u'★' || raw(end) == u'☆')
                ++end;
            const bool single = end == i + 1 && digitAt(end);
            return NumberExpression{i, end, {{single ? QStringLiteral("ホシ") : kPause, i, end}}};
        }
        case u'※': return one(QStringLiteral("コメ"));
        // Signs the voice would otherwise say as English words or as "Chinese letter".
        case u'±': return one(QStringLiteral("プラスマイナス"));
        case u'㈱': return one(QStringLiteral("カブシキガイシャ"));
        case u'㎡': return one(QStringLiteral("ヘーホーメートル"));
        case u'%': case u'％': return one(QStringLiteral("パーセント"));
        case u'→': case u'←': case u'↑': case u'↓': case u'⇒': case u'⇔': case u'・': return one(kPause);
        case u'〒': return NumberExpression{i, i + 1, {}};
        case u'～': case u'〜': {
            if (std::optional<NumberExpression> weekdays = weekdayRangeAt(i, free))
                return weekdays;
            // Between two words (東京～大阪, 月～金) it is read カラ; elsewhere a pause.
            const auto wordAt = [&](int k) {
                const QChar w = raw(k);
                return !w.isNull() && (w.isLetterOrNumber() || w == u'ー');
            };
            const bool between = wordAt(i - 1) && wordAt(i + 1);
            return one(between ? QStringLiteral("カラ") : kPause);
        }
        case u'-': case u'−': case u'－':
            // -5℃ below zero.
            if (digitAt(i + 1) && !digitAt(i - 1) && !isAsciiLetter(at(i - 1))) {
                std::optional<Item> item = itemAt(i + 1, false);
                if (item && item->kind == ItemKind::Temperature) {
                    NumberExpression below{i, item->end, {{QStringLiteral("マイナス"), i, i + 1}}};
                    below.parts.insert(below.parts.end(), item->parts.begin(), item->parts.end());
                    return below;
                }
            }
            return std::nullopt;
        default: return std::nullopt;
        }
    }

    QStringView m_text;
    int m_size;
};

} // namespace

std::vector<NumberExpression> findNumberExpressions(QStringView text)
{
    return Scanner(text).run();
}

} // namespace velmor
