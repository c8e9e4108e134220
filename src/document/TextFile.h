#pragma once

#include "core/TextFormat.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>


namespace velmor {

bool isUnicode(TextEncoding encoding);

// A line whose break in its file was not the file's usual one (TextFormat::lineBreak).
struct LineBreakException {
    qsizetype line; // from 0: the break is the line-th "\n" of the text
    LineBreak lineBreak;
    bool operator==(const LineBreakException&) const = default;
};

struct DecodedText {
    QString text; // line breaks as "\n", as a plain-text editor holds them
    TextFormat format;
    // Ascending by line: the breaks that differ from format.lineBreak, so that a file with
    // mixed line breaks saves back as it was.
    std::vector<LineBreakException> otherLineBreaks;
    // Ascending positions in text of the characters that stand for bytes CP932 could not
    // decode (Cp932.h); only these are written back as their bytes.
    std::vector<qsizetype> rawBytes;
};

// A file's text and format. Unicode text is a file longer than two bytes that begins
// FF FE (little-endian) or FE FF (big-endian). Any other file is UTF-8 when it begins with
// the UTF-8 byte-order mark or is well-formed UTF-8 holding at least one multi-byte
// character; everything else is CP932. CR LF and a lone CR become "\n"; the style of the
// most frequent line break is the file's, the first one's when two are as frequent (without
// one: LF for UTF-8, CR LF otherwise), and the others are listed as exceptions. Never fails:
// bytes that CP932 cannot decode are kept as raw-byte characters, bad UTF-8 after a
// byte-order mark becomes U+FFFD.
DecodedText decodeText(QByteArrayView bytes);

// The bytes of text ("\n" line breaks) in format, each "\n" written as format's line break
// unless otherLineBreaks (ascending by line) names another for it.
// Unicode text gets a line break after every line, an empty last line not counted, so "abc"
// and "abc\n" give the same bytes and "" gives the byte-order mark alone, followed by the
// format's trailing byte when it has one. The others add nothing after the last line. CP932
// writes the characters at the positions rawBytes (ascending) names as their bytes; any other
// character it cannot hold becomes "?" and is counted in *replaced (0 for the other
// encodings), and the first few of them go to *replacedExamples when given.
QByteArray encodeText(QStringView text, const TextFormat& format, int* replaced = nullptr,
                      std::span<const qsizetype> rawBytes = {},
                      std::span<const LineBreakException> otherLineBreaks = {},
                      QStringList* replacedExamples = nullptr);

// A text file that cannot be read or written; what() is the user-facing text (UTF-8).
class FileError : public std::runtime_error {
public:
    // "ファイル %s は開けません"
    static FileError cannotOpen(const QString& path);
    // The file holds more than maxChars characters.
    static FileError tooLarge(const QString& path, qsizetype maxChars);
    // "ファイル %s を作成できません", and on a line of its own why, when given.
    static FileError cannotCreate(const QString& path, const QString& why = {});

    const QString& path() const { return m_path; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    FileError(const QString& message, const QString& path);

    QString m_path;
};

// Thrown by readTextFile when its reading callback asked it to stop.
struct ReadStopped {};

// Told how many of a file's bytes have been read so far and how many it has (as they were when
// the read began); returning false stops the read.
using ReadingProgress = std::function<bool(qint64 bytesRead, qint64 size)>;

// Reads and decodes a whole file. Throws FileError when the file cannot be opened or read
// (missing, no access, not a regular file) or when its text has more than maxChars
// characters (UTF-16 code units, each line break counted once). reading, when given, is told
// after every megabyte.
DecodedText readTextFile(const QString& path, qsizetype maxChars, const ReadingProgress& reading = {});

// Encodes text as encodeText does and replaces the file with it safely (AtomicFile.h);
// returns the number of characters CP932 could not hold. Throws FileError when the file
// cannot be written, leaving any old file as it was.
int writeTextFile(const QString& path, QStringView text, const TextFormat& format,
                  std::span<const qsizetype> rawBytes = {});

} // namespace velmor
