#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QClipboard;

namespace velmor {

// What one reading of the clipboard gave.
struct ClipboardReading {
    enum class Outcome {
        NoText,    // nothing, or only pictures, files and other formats
        Beginning, // the beginning of a long text, up to a word's end, while the rest is coming
        Whole,     // the whole text
        Failed,    // the clipboard's owner did not hand its text over
    };
    Outcome outcome = Outcome::NoText;
    QString text;
    // With the Whole after a Beginning: what follows the beginning.
    QString rest;
    // The text was longer than kLongestClipboardText and was cut there.
    bool cut = false;
};

// Characters of a long text that are delivered as its Beginning, at most.
inline constexpr qsizetype kSpokenBeginning = 64 * 1024;
// Characters of clipboard text taken at most, as many as of a file; the rest is not read, so
// that an owner that keeps sending cannot fill the memory.
inline constexpr qsizetype kLongestClipboardText = 100'000'000;

// Cuts text to longest characters, never inside a surrogate pair; true when it was cut.
bool cutClipboardText(QString& text, qsizetype longest = kLongestClipboardText);

// The beginning of a text up to its last line end or space, so that no word is cut in two
// (all of it when it has neither).
QString speakableBeginning(const QString& beginning);

// Reads the text on the clipboard.
class ClipboardReader : public QObject {
    Q_OBJECT
public:
    using Delivery = std::function<void(const ClipboardReading&)>;
    using QObject::QObject;

    // Reads what the clipboard holds now. The delivery runs on the UI thread, either once
    // (NoText, Whole, Failed) or, for a long text that takes time to come, first with its
    // Beginning and then with its Whole and rest. A newer read supersedes an older one,
    // which delivers nothing more.
    virtual void read(Delivery deliver) = 0;
};

// Reads through QClipboard, at once, on the UI thread; always the Whole.
class QtClipboardReader final : public ClipboardReader {
    Q_OBJECT
public:
    explicit QtClipboardReader(QClipboard* clipboard = nullptr);
    void read(Delivery deliver) override;

private:
    QClipboard* m_clipboard;
};

// The best reader for the platform the program runs on: under X11 one that takes another
// program's text in a thread of its own, so a text of many megabytes neither freezes the
// window nor waits to be heard until its last byte has come.
std::unique_ptr<ClipboardReader> makeClipboardReader();

} // namespace velmor
