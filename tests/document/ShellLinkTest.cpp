#include "document/ShellLink.h"

#include "document/Cp932.h"

#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>
#include <iterator>
#include <random>
#include <vector>

using namespace velmor;

namespace {

// ---------------------------------------------------------------- building shortcut files

void putU16(QByteArray& out, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void putU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QByteArray utf16Le(const QString& text)
{
    QByteArray out;
    for (const QChar c : text)
        putU16(out, c.unicode());
    return out;
}

// What goes into a shortcut file; unset parts are left out along with their flags.
struct LinkParts {
    std::optional<QByteArray> idList;
    std::optional<QString> basePath;  // written as CP932, or as UTF-16 too when unicodeLinkInfo
    QString commonPathSuffix;
    bool unicodeLinkInfo = false;
    bool networkShareOnly = false;
    bool unicodeStrings = true;
    std::optional<QString> name, relativePath, workingDirectory, arguments, iconLocation;
    quint32 extraFlags = 0;
};

constexpr quint32 kHasIdList = 1u << 0, kHasLinkInfo = 1u << 1, kHasName = 1u << 2, kHasRelativePath = 1u << 3,
                  kHasWorkingDir = 1u << 4, kHasArguments = 1u << 5, kHasIconLocation = 1u << 6,
                  kIsUnicode = 1u << 7, kForceNoLinkInfo = 1u << 8;

QByteArray linkInfo(const LinkParts& parts)
{
    const quint32 headerSize = parts.unicodeLinkInfo ? 0x24 : 0x1C;
    QByteArray body;
    const auto offset = [&] { return quint32(headerSize + body.size()); };

    const quint32 volumeIdOffset = offset();
    putU32(body, 0x11); // VolumeIDSize
    putU32(body, 3);    // fixed drive
    putU32(body, 0x1234ABCD);
    putU32(body, 0x10); // label offset
    body.append('\0');

    const quint32 networkOffset = parts.networkShareOnly ? offset() : 0;
    if (parts.networkShareOnly) {
        const QByteArray share("\\\\server\\share");
        putU32(body, 0x14 + share.size() + 1);
        putU32(body, 0);
        putU32(body, 0x14);
        putU32(body, 0);
        putU32(body, 0);
        body.append(share).append('\0');
    }
    const QString base = parts.basePath.value_or(QString());
    const quint32 baseOffset = parts.networkShareOnly ? 0 : offset();
    if (!parts.networkShareOnly)
        body.append(encodeCp932(base)).append('\0');
    const quint32 suffixOffset = offset();
    body.append(encodeCp932(parts.commonPathSuffix)).append('\0');
    const quint32 baseOffsetUnicode = parts.networkShareOnly ? 0 : offset();
    const quint32 suffixOffsetUnicode = baseOffsetUnicode + (base.size() + 1) * 2;
    if (parts.unicodeLinkInfo) {
        body.append(utf16Le(base)).append(2, '\0');
        body.append(utf16Le(parts.commonPathSuffix)).append(2, '\0');
    }

    QByteArray out;
    putU32(out, headerSize + body.size());
    putU32(out, headerSize);
    putU32(out, parts.networkShareOnly ? 2 : 1);
    putU32(out, volumeIdOffset);
    putU32(out, baseOffset);
    putU32(out, networkOffset);
    putU32(out, suffixOffset);
    if (parts.unicodeLinkInfo) {
        putU32(out, baseOffsetUnicode);
        putU32(out, suffixOffsetUnicode);
    }
    return out + body;
}

QByteArray buildLink(const LinkParts& parts)
{
    quint32 flags = parts.extraFlags;
    QByteArray rest;
    if (parts.idList) {
        flags |= kHasIdList;
        putU16(rest, quint16(parts.idList->size()));
        rest += *parts.idList;
    }
    if (parts.basePath || parts.networkShareOnly) {
        flags |= kHasLinkInfo;
        rest += linkInfo(parts);
    }
    if (parts.unicodeStrings)
        flags |= kIsUnicode;
    const auto putString = [&](const std::optional<QString>& text, quint32 flag) {
        if (!text)
            return;
        flags |= flag;
        // The count is in code units: UTF-16 units, or bytes of a code-page string.
        const QByteArray bytes = parts.unicodeStrings ? utf16Le(*text) : encodeCp932(*text);
        putU16(rest, quint16(parts.unicodeStrings ? text->size() : bytes.size()));
        rest += bytes;
    };
    putString(parts.name, kHasName);
    putString(parts.relativePath, kHasRelativePath);
    putString(parts.workingDirectory, kHasWorkingDir);
    putString(parts.arguments, kHasArguments);
    putString(parts.iconLocation, kHasIconLocation);

    QByteArray header;
    putU32(header, 0x4C);
    header.append("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    putU32(header, flags);
    header.append(0x4C - header.size(), '\0');
    header[0x3C] = 1; // ShowCommand: normal window
    return header + rest;
}

QString windowsPath(QString path) { return path.replace(u'/', u'\\'); }

// ---------------------------------------------------------------- files on disk

class GetLinkPathTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        target = makeFile(QStringLiteral("docs/memo.txt"));
    }

    QString path(const QString& relative) const { return m_dir.filePath(relative); }

    QString makeFile(const QString& relative) const
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("text\r\n");
        return QFileInfo(file).absoluteFilePath();
    }

    QString writeLink(const QByteArray& bytes, const QString& name = QStringLiteral("memo.lnk")) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        return out.fileName();
    }

    static void expectEmpty(const LinkTarget& result)
    {
        EXPECT_TRUE(result.path.isEmpty()) << result.path.toStdString();
        EXPECT_TRUE(result.workingDirectory.isEmpty());
        EXPECT_TRUE(result.arguments.isEmpty());
    }

    QTemporaryDir m_dir;
    QString target;
};

TEST_F(GetLinkPathTest, SymbolicLinkGivesItsFinalTarget)
{
    ASSERT_TRUE(QFile::link(target, path(QStringLiteral("middle"))));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("middle")), path(QStringLiteral("memo.lnk"))));
    const LinkTarget result = GetLinkPath(path(QStringLiteral("memo.lnk")));
    EXPECT_EQ(result.path, target);
    EXPECT_TRUE(result.workingDirectory.isEmpty());
    EXPECT_TRUE(result.arguments.isEmpty());
}

TEST_F(GetLinkPathTest, DanglingSymbolicLinkGivesNothing)
{
    ASSERT_TRUE(QFile::link(path(QStringLiteral("gone.txt")), path(QStringLiteral("memo.lnk"))));
    expectEmpty(GetLinkPath(path(QStringLiteral("memo.lnk"))));
}

TEST_F(GetLinkPathTest, LocalBasePathGivesTargetWithWorkingDirectoryAndArgumentsAsStored)
{
    LinkParts parts;
    parts.basePath = windowsPath(target);
    parts.name = QStringLiteral("A memo");
    parts.workingDirectory = QStringLiteral("C:\\Work");
    parts.arguments = QStringLiteral("/s \"two words\"");
    parts.iconLocation = QStringLiteral("C:\\Windows\\notepad.exe");
    const LinkTarget result = GetLinkPath(writeLink(buildLink(parts)));
    EXPECT_EQ(result.path, target);
    EXPECT_EQ(result.workingDirectory, QStringLiteral("C:\\Work"));
    EXPECT_EQ(result.arguments, QStringLiteral("/s \"two words\""));
}

TEST_F(GetLinkPathTest, AnsiPathKeepsDoubleByteCharactersWhoseTrailByteIsABackslash)
{
    // 表 is 95 5C and ソ is 83 5C in CP932: only real separators may turn into "/".
    const QString japanese = makeFile(QStringLiteral("表ソ/メモ.txt"));
    LinkParts parts;
    parts.basePath = windowsPath(japanese);
    parts.unicodeStrings = false;
    parts.arguments = QStringLiteral("表示");
    ASSERT_TRUE(encodeCp932(*parts.basePath).contains("\x95\x5C\x83\x5C\\"));
    const LinkTarget result = GetLinkPath(writeLink(buildLink(parts)));
    EXPECT_EQ(result.path, japanese);
    EXPECT_EQ(result.arguments, QStringLiteral("表示"));
}

TEST_F(GetLinkPathTest, UnicodeBasePathIsPreferredAndHoldsAnyCharacter)
{
    const QString korean = makeFile(QStringLiteral("한글/hg메모.txt"));
    LinkParts parts;
    parts.basePath = windowsPath(korean);
    parts.unicodeLinkInfo = true;
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, korean);
}

TEST_F(GetLinkPathTest, CommonPathSuffixIsAppendedToTheBasePath)
{
    for (const bool unicode : {false, true}) {
        LinkParts parts;
        parts.basePath = windowsPath(path(QStringLiteral("docs\\")));
        parts.commonPathSuffix = QStringLiteral("memo.txt");
        parts.unicodeLinkInfo = unicode;
        EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, target) << unicode;
    }
}

TEST_F(GetLinkPathTest, RelativePathCountsFromTheShortcutsFolder)
{
    LinkParts parts;
    parts.relativePath = QStringLiteral(".\\docs\\memo.txt");
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, target);

    parts.relativePath = QStringLiteral("..\\docs\\memo.txt");
    ASSERT_TRUE(QDir(path(QString())).mkdir(QStringLiteral("sub")));
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts), QStringLiteral("sub/memo.lnk"))).path, target);
}

TEST_F(GetLinkPathTest, RelativePathStandsInForAMissingOrUnusableBasePath)
{
    LinkParts parts;
    parts.relativePath = QStringLiteral("docs\\memo.txt");
    parts.idList = QByteArray(40, '\x07');

    parts.basePath = windowsPath(path(QStringLiteral("moved/memo.txt")));
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, target);

    parts.basePath = QStringLiteral("C:\\Users\\ann\\memo.txt");
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, target);

    parts.basePath.reset();
    parts.networkShareOnly = true;
    EXPECT_EQ(GetLinkPath(writeLink(buildLink(parts))).path, target);
}

TEST_F(GetLinkPathTest, ForceNoLinkInfoIgnoresTheBasePath)
{
    LinkParts parts;
    parts.basePath = windowsPath(target);
    parts.extraFlags = kForceNoLinkInfo;
    expectEmpty(GetLinkPath(writeLink(buildLink(parts))));
}

TEST_F(GetLinkPathTest, MissingTargetGivesNothing)
{
    LinkParts parts;
    parts.basePath = windowsPath(path(QStringLiteral("docs/gone.txt")));
    parts.relativePath = QStringLiteral("docs\\gone.txt");
    parts.workingDirectory = QStringLiteral("C:\\Work");
    parts.arguments = QStringLiteral("-x");
    expectEmpty(GetLinkPath(writeLink(buildLink(parts))));

    // A drive-letter path has no meaning here, even where a folder "C:" happens to exist.
    makeFile(QStringLiteral("C:/Users/memo.txt"));
    parts.basePath = QStringLiteral("C:\\Users\\memo.txt");
    parts.relativePath.reset();
    expectEmpty(GetLinkPath(writeLink(buildLink(parts))));
}

TEST_F(GetLinkPathTest, UnreadableShortcutGivesNothing)
{
    expectEmpty(GetLinkPath(path(QStringLiteral("none.lnk"))));
    expectEmpty(GetLinkPath(QString()));
    QDir(path(QString())).mkdir(QStringLiteral("folder.lnk"));
    expectEmpty(GetLinkPath(path(QStringLiteral("folder.lnk"))));
    expectEmpty(GetLinkPath(writeLink(QByteArray())));
    expectEmpty(GetLinkPath(writeLink(QByteArray("[InternetShortcut]\r\nURL=file:///etc/passwd\r\n"))));
}

TEST_F(GetLinkPathTest, EveryTruncationOfAShortcutGivesNothing)
{
    LinkParts parts;
    parts.idList = QByteArray(20, '\x01');
    parts.basePath = windowsPath(target);
    parts.unicodeLinkInfo = true;
    parts.name = QStringLiteral("n");
    parts.workingDirectory = QStringLiteral("w");
    parts.arguments = QStringLiteral("a");
    parts.iconLocation = QStringLiteral("i");
    const QByteArray whole = buildLink(parts);
    for (qsizetype size = 0; size < whole.size(); ++size)
        expectEmpty(GetLinkPath(writeLink(whole.first(size))));
    EXPECT_EQ(GetLinkPath(writeLink(whole)).path, target);
}

// ---------------------------------------------------------------- the parser on its own

// An exactly sized heap copy, so that AddressSanitizer sees any read past the end.
std::optional<ShellLink> parseExact(QByteArrayView bytes)
{
    const std::vector<char> copy(bytes.begin(), bytes.end());
    return parseShellLink(QByteArrayView(copy.data(), qsizetype(copy.size())));
}

// A decoded string never has more characters than the data has bytes.
void expectPlausible(const std::optional<ShellLink>& link, qsizetype size)
{
    if (!link)
        return;
    for (const QString* text : {&link->localBasePath, &link->relativePath, &link->workingDirectory, &link->arguments})
        EXPECT_LE(text->size(), size);
}

LinkParts fullSpec()
{
    LinkParts parts;
    parts.idList = QByteArray(12, '\x05');
    parts.basePath = QStringLiteral("\\home\\ann\\docs\\");
    parts.commonPathSuffix = QStringLiteral("memo.txt");
    parts.name = QStringLiteral("name");
    parts.relativePath = QStringLiteral("..\\docs\\memo.txt");
    parts.workingDirectory = QStringLiteral("\\home\\ann");
    parts.arguments = QStringLiteral("--all");
    parts.iconLocation = QStringLiteral("icon");
    return parts;
}

TEST(ParseShellLink, ReadsEveryPart)
{
    const std::optional<ShellLink> link = parseExact(buildLink(fullSpec()));
    ASSERT_TRUE(link);
    EXPECT_EQ(link->localBasePath, QStringLiteral("\\home\\ann\\docs\\memo.txt"));
    EXPECT_EQ(link->relativePath, QStringLiteral("..\\docs\\memo.txt"));
    EXPECT_EQ(link->workingDirectory, QStringLiteral("\\home\\ann"));
    EXPECT_EQ(link->arguments, QStringLiteral("--all"));
}

TEST(ParseShellLink, RefusesAWrongHeader)
{
    const QByteArray good = buildLink(fullSpec());
    ASSERT_TRUE(parseExact(good));
    QByteArray bad = good;
    bad[0] = 0x4D;
    EXPECT_FALSE(parseExact(bad));
    bad = good;
    bad[4 + 15] = 0x47; // last byte of the class identifier
    EXPECT_FALSE(parseExact(bad));
}

TEST(ParseShellLink, RefusesSizesAndOffsetsOutsideTheData)
{
    LinkParts parts;
    parts.basePath = QStringLiteral("\\docs\\");
    parts.commonPathSuffix = QStringLiteral("memo.txt");
    const QByteArray good = buildLink(parts);
    const qsizetype info = 0x4C;
    const auto withU32 = [&](qsizetype at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    const quint32 infoSize = qFromLittleEndian<quint32>(good.constData() + info);
    ASSERT_TRUE(parseExact(good));
    EXPECT_FALSE(parseExact(withU32(info, infoSize + 1))) << "LinkInfo runs past the end";
    EXPECT_FALSE(parseExact(withU32(info, 0xFFFFFFFF)));
    EXPECT_FALSE(parseExact(withU32(info, 8))) << "LinkInfo smaller than its header";
    EXPECT_FALSE(parseExact(withU32(info + 4, 0x20))) << "header size between the two known ones";
    EXPECT_FALSE(parseExact(withU32(info + 4, infoSize + 1))) << "header larger than LinkInfo";
    EXPECT_FALSE(parseExact(withU32(info + 16, infoSize))) << "base path offset at the end";
    EXPECT_FALSE(parseExact(withU32(info + 16, 0xFFFFFFF0)));
    EXPECT_FALSE(parseExact(withU32(info + 16, 4))) << "base path offset inside the header";
    EXPECT_FALSE(parseExact(withU32(info + 24, infoSize))) << "suffix offset at the end";

    QByteArray unterminated = good;
    unterminated.chop(1); // the suffix's terminator
    qToLittleEndian(quint32(infoSize - 1), unterminated.data() + info);
    EXPECT_FALSE(parseExact(unterminated));

    parts.idList = QByteArray(10, '\x01');
    QByteArray idList = buildLink(parts);
    ASSERT_TRUE(parseExact(idList));
    qToLittleEndian(quint16(0xFFFF), idList.data() + 0x4C);
    EXPECT_FALSE(parseExact(idList)) << "ID list runs past the end";
}

TEST(ParseShellLink, RefusesUnicodeStringsWithoutTerminator)
{
    LinkParts parts;
    parts.basePath = QStringLiteral("\\docs\\");
    parts.commonPathSuffix = QStringLiteral("memo.txt");
    parts.unicodeLinkInfo = true;
    const QByteArray good = buildLink(parts);
    ASSERT_TRUE(parseExact(good));
    // The suffix ends the data: with half its terminator, without it, and with an odd byte over.
    for (const int cut : {1, 2, 3}) {
        QByteArray bad = good;
        bad.chop(cut);
        qToLittleEndian(quint32(qFromLittleEndian<quint32>(good.constData() + 0x4C) - cut), bad.data() + 0x4C);
        EXPECT_FALSE(parseExact(bad)) << cut;
    }
}

TEST(ParseShellLink, RefusesStringCountsRunningPastTheEnd)
{
    LinkParts parts;
    parts.arguments = QStringLiteral("abc");
    const QByteArray good = buildLink(parts);
    ASSERT_TRUE(parseExact(good));
    for (const quint16 count : {quint16(4), quint16(0x7FFF), quint16(0xFFFF)}) {
        QByteArray bad = good;
        qToLittleEndian(count, bad.data() + 0x4C);
        EXPECT_FALSE(parseExact(bad)) << count;
    }
    parts.unicodeStrings = false;
    QByteArray ansi = buildLink(parts);
    ASSERT_TRUE(parseExact(ansi));
    ansi.chop(1);
    EXPECT_FALSE(parseExact(ansi));
}

TEST(ParseShellLink, EveryProperPrefixIsRefused)
{
    for (const bool unicodeInfo : {false, true}) {
        LinkParts parts = fullSpec();
        parts.unicodeLinkInfo = unicodeInfo;
        const QByteArray whole = buildLink(parts);
        for (qsizetype size = 0; size < whole.size(); ++size)
            EXPECT_FALSE(parseExact(whole.first(size))) << size;
        EXPECT_TRUE(parseExact(whole));
    }
}

TEST(ParseShellLink, SurvivesRandomGarbage)
{
    std::mt19937 random(20051225);
    QByteArray header = buildLink(LinkParts{}).first(0x4C);
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes(std::uniform_int_distribution<int>(0, 700)(random), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(random());
        // Half the rounds get a valid header, so that the parser goes on into the rest.
        if (round % 2 && bytes.size() >= header.size()) {
            header[0x14] = char(random());
            header[0x15] = char(random() & 1);
            bytes.replace(0, header.size(), header);
        }
        expectPlausible(parseExact(bytes), bytes.size());
    }
}

// Mutations of valid shortcuts in the manner of a fuzzer: flipped bits, interesting
// numbers written at random places, bytes inserted, removed or cut off, and a number
// lowered together with the length of the data, which keeps a size field consistent
// while what it sizes now ends exactly where the data ends.
QByteArray mutate(QByteArray bytes, std::mt19937& random)
{
    static const quint32 interesting[] = {0, 1, 0x1C, 0x24, 0x4C, 0x7F, 0x80, 0xFF, 0x7FFF, 0xFFFF, 0x10000,
                                          0x7FFFFFFF, 0x80000000, 0xFFFFFFFE, 0xFFFFFFFF};
    const int steps = std::uniform_int_distribution<int>(1, 4)(random);
    for (int step = 0; step < steps && !bytes.isEmpty(); ++step) {
        const qsizetype at = std::uniform_int_distribution<qsizetype>(0, bytes.size() - 1)(random);
        switch (random() % 7) {
        case 0:
            bytes[at] = char(bytes[at] ^ (1 << (random() % 8)));
            break;
        case 1:
            bytes[at] = char(random());
            break;
        case 2: {
            const quint32 value = interesting[random() % std::size(interesting)];
            const qsizetype width = random() % 2 ? 4 : 2;
            if (at + width <= bytes.size()) {
                if (width == 4)
                    qToLittleEndian(value, bytes.data() + at);
                else
                    qToLittleEndian(quint16(value), bytes.data() + at);
            }
            break;
        }
        case 3:
            bytes.insert(at, std::uniform_int_distribution<int>(1, 8)(random), char(random()));
            break;
        case 4:
            bytes.remove(at, std::uniform_int_distribution<int>(1, 8)(random));
            break;
        case 5: {
            const int cut = std::uniform_int_distribution<int>(1, 4)(random);
            if (at + 4 <= bytes.size() - cut) {
                qToLittleEndian(quint32(qFromLittleEndian<quint32>(bytes.constData() + at) - cut), bytes.data() + at);
                bytes.chop(cut);
            }
            break;
        }
        default:
            bytes.truncate(at);
            break;
        }
    }
    return bytes;
}

TEST(ParseShellLink, SurvivesMutatedShortcuts)
{
    std::vector<QByteArray> seeds;
    for (const bool unicodeInfo : {false, true}) {
        for (const bool unicodeStrings : {false, true}) {
            LinkParts parts = fullSpec();
            parts.unicodeLinkInfo = unicodeInfo;
            parts.unicodeStrings = unicodeStrings;
            seeds.push_back(buildLink(parts));
        }
    }
    // LinkInfo last, so that its strings end where the data ends.
    for (const bool unicodeInfo : {false, true}) {
        LinkParts parts;
        parts.basePath = QStringLiteral("\\home\\ann\\");
        parts.commonPathSuffix = QStringLiteral("memo.txt");
        parts.unicodeLinkInfo = unicodeInfo;
        seeds.push_back(buildLink(parts));
    }
    LinkParts network = fullSpec();
    network.basePath.reset();
    network.networkShareOnly = true;
    seeds.push_back(buildLink(network));

    std::mt19937 random(1337);
    int parsed = 0;
    for (int round = 0; round < 40000; ++round) {
        const QByteArray bytes = mutate(seeds[size_t(round) % seeds.size()], random);
        const std::optional<ShellLink> link = parseExact(bytes);
        expectPlausible(link, bytes.size());
        parsed += link.has_value();
    }
    // Some mutations leave a readable shortcut, many do not: both paths get exercised.
    EXPECT_GT(parsed, 1000);
    EXPECT_LT(parsed, 39000);
}

} // namespace
