#include "speech/JapaneseContext.h"

#include <QRegularExpression>
#include <array>
#include <bitset>

namespace velmor {

namespace {

// A reading for a word, taken where any pattern given matches: before (the text up to the word,
// matched at its end), after (the text from the word's end, matched at its start), anywhere (the
// whole sentence), and not where unless matches the whole sentence.
struct ContextRule {
    QStringView surface;
    QStringView reading;
    QRegularExpression before;
    QRegularExpression after;
    QRegularExpression anywhere;
    QRegularExpression unless;
};

QRegularExpression pattern(const char16_t* text)
{
    return text[0] ? QRegularExpression(QString::fromUtf16(text)) : QRegularExpression();
}

ContextRule rule(QStringView surface, QStringView reading, const char16_t* before, const char16_t* after,
                 const char16_t* anywhere, const char16_t* unless = u"")
{
    return {surface, reading, pattern(before), pattern(after), pattern(anywhere), pattern(unless)};
}

const std::array<ContextRule, 17>& rules()
{
    // Food and fresh produce make a 市場 a market hall; money makes it the market of trade.
    static const std::array<ContextRule, 17> table{
        rule(u"市場", u"イチバ", u"", u"", u"魚|野菜|果物|青果|鮮魚|朝市|新鮮|買い物|買っ|買う|買い|食堂|競り|マグロ|まぐろ|仕入",
             u"株|経済|金融|為替|相場|シェア|参入|規模|投資|債券|証券|取引|動向"),
        rule(u"市場", u"イチバ", u"(魚|青果|中央|卸売|築地|豊洲|公設|朝)$", u"", u""),
        // Nobody about (ヒトケ), rather than popularity (ニンキ).
        rule(u"人気", u"ヒトケ", u"", u"^[のが](な[いくかけ]|無[いくかけ]|少な|まばら|絶え)", u"",
             u"(歌手|俳優|商品|番組|店|メニュー|選手|アイドル|作品|ブランド|チーム|ゲーム|曲)"),
        // Signed boards (シキシ), unless it is paper for folding or crafts (イロガミ).
        rule(u"色紙", u"シキシ", u"", u"", u"", u"折|切り|切っ|貼|工作|千代紙|鶴|ハサミ|はさみ|のり"),
        // Raw food (ナマモノ), not living things (セイブツ).
        rule(u"生物", u"ナマモノ", u"", u"", u"食|召し上が|早め|冷蔵|賞味|消費期限|持ち帰|傷み|傷む|お土産|土産|お供え|刺身|要冷"),
        // Stage right (カミテ) and the upper hand (ウワテ); skilful (ジョーズ) otherwise.
        rule(u"上手", u"カミテ", u"(舞台|ステージ|川)(の|から見て)?$", u"", u""),
        rule(u"上手", u"カミテ", u"", u"^(から(登場|入|出|退|現れ)|と下手|・下手|寄り|側|袖)", u""),
        rule(u"上手", u"ウワテ", u"(枚|一段|役者が)$", u"", u""),
        rule(u"上手", u"ウワテ", u"", u"^(を行|をい|に出る|に出た|に出て|に出ら|投げ|を取)", u""),
        // The country (ベイ) where it stands for America, else rice (コメ).
        rule(u"米", u"ベイ", u"(日|欧|訪|渡|在|対|駐|親|反|全|北|南|中|英|豪)$", u"", u""),
        rule(u"米", u"ベイ", u"", u"^(大統領|政府|軍|国|企業|当局|議会|国防|国務|連邦|政権|側|紙|ドル|株|経済|首脳|・|中|英|露|韓|欧)", u""),
        rule(u"米", u"コメ", u"", u"", u""),
        // A span of time or space between (アイダ), not a pause (マ) or an interval between places (カン).
        rule(u"間", u"アイダ", u"(の|い|この|その|あの|た|る|ない)$", u"", u"", u"間に合|間もなく"),
        // Can be opened (ヒラケ) when something is said to be so, rather than to open (アケ) it.
        rule(u"開け", u"ヒラケ", u"が$", u"", u""),
        // A house (イエ), not the suffix of a family, after a word of time such as 一日中; likewise rain.
        rule(u"家", u"イエ", u"中$", u"", u""),
        rule(u"雨", u"アメ", u"", u"", u""),
        // A corner (カド), as of a street or a table; the shogi piece keeps カク.
        rule(u"角", u"カド", u"(^|[^0-9０-９一二三四五六七八九十百千])$", u"", u"", u"将棋|飛車|王手|角行|成[りっ]"),
    };
    return table;
}

constexpr std::size_t kFirstLetterBits = 4096;

// An empty pattern matches anything.
bool matches(const QRegularExpression& re, QStringView text)
{
    return re.pattern().isEmpty() || re.match(text).hasMatch();
}

} // namespace

QString readingInContext(QStringView sentence, int begin, int end, QStringView dictionaryReading)
{
    // Most words are none of these: a bit for the first letter of each word with a rule (letters
    // far apart may share one) settles that for nearly all.
    static const std::bitset<kFirstLetterBits> kFirstLetters = [] {
        std::bitset<kFirstLetterBits> bits;
        for (const ContextRule& candidate : rules())
            bits.set(candidate.surface.front().unicode() % kFirstLetterBits);
        return bits;
    }();
    if (end <= begin || end - begin > 2 || !kFirstLetters.test(sentence[begin].unicode() % kFirstLetterBits))
        return {};
    const QStringView surface = sentence.sliced(begin, end - begin);
    for (const ContextRule& candidate : rules()) {
        if (candidate.surface.front() != surface.front() || candidate.surface != surface)
            continue;
        const bool applies = matches(candidate.before, sentence.first(begin)) && matches(candidate.after, sentence.sliced(end))
            && matches(candidate.anywhere, sentence)
            && (candidate.unless.pattern().isEmpty() || !candidate.unless.match(sentence).hasMatch());
        if (applies)
            return candidate.reading == dictionaryReading ? QString() : candidate.reading.toString();
    }
    return {};
}

} // namespace velmor
