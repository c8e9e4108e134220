#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <stdexcept>

class QTextDocument;

namespace velmor {

// How a text file is stored.
//  Cp932:   plain text in code page 932, lines separated by CR LF, no header.
//  Utf16Le: Unicode text: FF FE, then UTF-16 little-endian, CR LF after every line.
//  Utf8, Utf8Bom: UTF-8 without or with its byte-order mark (EF BB BF), lines separated
//           as the file had them, so that an unedited file is written back unchanged.
enum class TextEncoding { Cp932, Utf16Le, Utf8, Utf8Bom };

enum class LineBreak { CrLf, Lf };

struct TextFormat {
    TextEncoding encoding = TextEncoding::Cp932;
    // Only UTF-8 keeps the file's own line breaks; the other two always use CR LF and
    // report CrLf here.
    LineBreak lineBreak = LineBreak::CrLf;

    bool operator==(const TextFormat&) const = default;
};

struct DecodedText {
    QString text; // line breaks as "\n", as a plain-text editor holds them
    TextFormat format;
};

// A file's text and format. Unicode text is a file longer than two bytes that begins
// FF FE. Any other file is UTF-8 when it begins with the UTF-8 byte-order mark or is
// well-formed UTF-8 holding at least one multi-byte character; everything else is CP932.
// CR LF and a lone CR become "\n". UTF-8's line break style is that of its first line
// break (Lf for a lone CR or when there is none). An odd last byte of Unicode text becomes U+FFFD. Never
// fails: bytes that CP932 cannot decode are kept as raw-byte characters (Cp932.h), bad
// UTF-8 after a byte-order mark becomes U+FFFD.
DecodedText decodeText(QByteArrayView bytes);

// The bytes of text ("\n" line breaks) in format. Unicode text gets CR LF after every line,
// an empty last line not counted, so "abc" and "abc\n" give the same bytes and "" gives
// FF FE alone. CP932 writes each "\n" as CR LF and adds nothing after the last line; a
// character it cannot hold becomes "?" and is counted in *replaced (0 for the other formats).
QByteArray encodeText(QStringView text, TextFormat format, int* replaced = nullptr);

// The text of a plain-text document as encodeText takes it: "\n" between paragraphs and
// every other character as it is. (QTextDocument::toPlainText would also turn U+00A0 into a
// space and U+2028 into a line break, so an unedited file would not save unchanged.)
QString documentText(const QTextDocument& document);

// A text file that cannot be read or written; what() is the user-facing text (UTF-8).
class FileError : public std::runtime_error {
public:
    // "ファイル %s は開けません"
    static FileError cannotOpen(const QString& path);
    // The file holds more than maxChars characters.
    static FileError tooLarge(const QString& path, qsizetype maxChars);
    // "ファイル %s を作成できません"
    static FileError cannotCreate(const QString& path);

    const QString& path() const { return m_path; }
    QString message() const { return QString::fromUtf8(what()); }

private:
    FileError(const QString& message, const QString& path);

    QString m_path;
};

// Reads and decodes a whole file. Throws FileError when the file cannot be opened or read
// (missing, no access, not a regular file) or when its text has more than maxChars
// characters (UTF-16 code units, each line break counted once).
DecodedText readTextFile(const QString& path, qsizetype maxChars);

// Encodes text and replaces the file with it atomically (AtomicFile.h); returns the number
// of characters CP932 could not hold. Throws FileError when the file cannot be written,
// leaving any old file as it was.
int writeTextFile(const QString& path, QStringView text, TextFormat format);

} // namespace velmor
