#pragma once

#include "core/Dialogs.h"
#include "document/OpeningProgress.h"
#include "document/ReadAhead.h"
#include "document/TextFile.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace velmor {

struct FormState;
class SpeakingState;
class TRichEdit98;
class IndicatorLabel;
class InfoLine;
class UPanel;

struct FileControls {
    TRichEdit98& editor;
    IndicatorLabel& saveLabel;
    InfoLine& infoLine;
    UPanel& panel;
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
    ReadAhead::Reader readFile; // empty for readTextFile
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
    std::function<void()> leavingText = [] {}; // a file read is about to replace the text
    std::function<bool()> webPagesAsDocuments = [] { return false; }; // .htm and .html without markup
    std::function<void()> fileShown = [] {};   // a file read is in the box, its name in fFileName
};

// Opening and saving text files: the Open command, the named-file open used for drops and at
// start-up, Save, Save as Unicode and Save as PlainText.
//
// A file is read on a thread of its own while the window goes on answering; the text box keeps
// its text until the file has been read, and a file that cannot be read leaves the document as
// it was. An open that takes long says how far it has got in the information panel. Keys typed
// meanwhile wait and go to the new text once it is in (to the old one when the open failed). A
// new open while one is going replaces it.
class FileCommands {
public:
    FileCommands(FormState& state, SpeakingState& speaking, FileControls controls, FileServices services,
                 Dialogs& dialogs);

    void OpenButtonClick();
    // Opens fOpenName: a shortcut is followed first; names without a text extension are
    // passed over silently. `shown` runs once the text is in the box.
    void MyTextFileOpen(std::function<void()> shown = {});
    // From the start of an open until its text is in the box or it failed.
    bool opening() const { return m_readAhead.reading(); }
    // The open going on ends without touching the document; keys typed meanwhile go to it.
    void stopOpening();
    void SaveButtonClick();
    void UniSaveButtonClick();
    void PlainSaveButtonClick();
    // The text file just opened, read again as untitled text in an encoding the user chooses,
    // the one it seems to be in first.
    void reopenWithEncoding();
    // fFileName in the info line, shortened to the line's present width.
    void showFileName();

private:
    enum class Road { OpenCommand, Dropped, StartUp };
    void open(const QString& path, Road road, std::function<void()> shown = {}, const QByteArray& encoding = {});
    // reopenedIn: the encoding a text file was read again in, empty otherwise; whole is false for
    // the first pages of a document shown while the rest is read.
    void show(const QString& path, ReadAhead::Result& read, Road road, bool colourYuki, const QByteArray& reopenedIn,
              bool whole);
    QString presetSaveName(const QString& suffix) const;
    // The sentence, spoken when " speech-info" is checked.
    void announce(const QString& sentence);
    void refuse(const QString& spoken, const QString& shown);
    void saveAsUnicode(const QString& presetName);
    enum class Written { Yes, No, AsUnicode };
    // Writes the document and marks it saved. When characters would have to be replaced, asks
    // first: nothing is written when the user cancels or would rather save as Unicode, and a
    // text saved with replacements stays unsaved.
    Written write(const QString& path, const TextFormat& format);
    enum class LostCharacters { SaveAsUnicode, Replace, Cancel };
    LostCharacters askAboutLostCharacters(int count, const QStringList& examples);
    // A copy that an unfinished save left beside the file is offered for restoring or deleting.
    void offerLeftoverBackup(const QString& path);

    FormState& m_state;
    SpeakingState& m_speaking;
    FileControls m_controls;
    FileServices m_services;
    Dialogs& m_dialogs;
    QString m_saveDirectory;
    ReadAhead m_readAhead;
    OpeningProgress m_progress;
    bool m_firstPagesShown = false; // by the open going on
    // The text file whose text is in the box, read as it is or again in an encoding chosen, and
    // the encoding it seems to be in when it reads cleanly only in that one.
    QString m_textFilePath;
    QByteArray m_otherEncoding;
};

} // namespace velmor
