#pragma once

#include "app/Dialogs.h"
#include "document/ReadAhead.h"
#include "document/TextFile.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace velmor {

struct FormState;
class TRichEdit98;
class IndicatorLabel;
class InfoLine;

struct FileControls {
    TRichEdit98& editor;
    IndicatorLabel& saveLabel;
    InfoLine& infoLine;
};

// What the file commands need from the rest of the window.
struct FileServices {
    std::function<bool()> speechInfo;                          // " speech-info" is checked
    std::function<void(const QString&)> announce;              // stop speech and speak a sentence
    std::function<bool()> mayDiscardText;                      // the unsaved-text question
    std::function<void()> applyEditorFont;                     // the editor's font and colours again
    std::function<void()> switchToHangulFont;                  // "MS_UI_Gothic" for Hangul documents
    std::function<void()> caretMoved;                          // GetColRow
    std::function<int()> infoLineWidth;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
};

// Opening and saving text files: the Open command, the named-file open used at start-up,
// Save, Save as Unicode and Save as PlainText.
class FileCommands {
public:
    FileCommands(FormState& state, FileControls controls, FileServices services, Dialogs& dialogs);

    void OpenButtonClick();
    // Opens fOpenName: a shortcut is followed first; names without a text extension are
    // passed over silently.
    void MyTextFileOpen();
    // The same, with the file read on a thread of its own while the window goes on answering;
    // `shown` runs once the text is in the box (or the open failed: it gets what was thrown).
    void openNamedInBackground(std::function<void(std::exception_ptr)> shown);
    void SaveButtonClick();
    void UniSaveButtonClick();
    void PlainSaveButtonClick();
    // fFileName in the info line, shortened to the line's present width.
    void showFileName();

private:
    enum class Road { OpenCommand, Named };
    void load(const QString& path, Road road);
    void show(const QString& path, const DecodedText& decoded, Road road);
    QString presetSaveName(const QString& suffix) const;
    void refuse(const QString& spoken, const QString& shown);
    // Writes the document and marks it saved, unless characters had to be replaced: the user
    // is told, and the text stays unsaved.
    void write(const QString& path, const TextFormat& format);

    FormState& m_state;
    FileControls m_controls;
    FileServices m_services;
    Dialogs& m_dialogs;
    QString m_saveDirectory;
    ReadAhead m_readAhead;
};

} // namespace velmor
