#pragma once

#include "FakeGlobalShortcuts.h"
#include "FakeInputMethod.h"
#include "FakeSpeechEngine.h"
#include "WindowDriver.h"
#include "app/TForm1.h"

#include <QStringList>
#include <ostream>
#include <functional>
#include <QTemporaryDir>
#include <memory>

using velmor::ActionId;

namespace velmor {
// Test messages name an item as its objectName.
inline std::ostream& operator<<(std::ostream& out, ActionId id) { return out << actionName(id); }
inline void PrintTo(ActionId id, std::ostream* out) { *out << actionName(id); }
} // namespace velmor

// A main window on a fake engine whose dialogs answer from the test and record what they showed.
struct FormFixture {
    // Each window gets a settings file of its own, in a fresh folder unless one is given.
    // configure sets up the fake engine before the window is created.
    explicit FormFixture(int modeCount = 2, bool show = true, const QString& settingsFile = {},
                         const std::function<void(FakeSpeechEngine&)>& configure = {});
    ~FormFixture();

    QTemporaryDir folder;
    QString settingsFile;
    FakeSpeechEngine* engine = nullptr;
    FakeGlobalShortcuts* shortcuts = nullptr;
    // The input method the window sees: closed, no Japanese or Korean keyboard, until a test says.
    FakeInputMethod* inputMethod = nullptr;
    std::unique_ptr<velmor::TForm1> form;
    // The window as its user reaches it.
    WindowDriver ui{form};

    bool answerYes = false;
    std::optional<QColor> colorAnswer;
    QStringList questions;
    QStringList informed;
    // askChoice: the questions, the buttons of the last one, and the index answered (Escape when none).
    QStringList choices;
    QStringList choiceButtons;
    std::optional<int> choiceAnswer;
    // chooseItem: the list offered last, its label and the item preset; the answer is the preset,
    // as Enter chooses it, unless a test answers otherwise (nothing cancels).
    QString itemLabel;
    QStringList items;
    int itemPreset = -1;
    std::function<std::optional<int>(int preset)> itemAnswer = [](int preset) { return std::optional<int>(preset); };
    QStringList notes; // notify and askQuestion
    int beeps = 0;
    QStringList errors;
    QList<QColor> colorRequests;
    std::optional<QString> fileAnswer;
    QList<velmor::FileChoice> fileChoices;
    // Sets up the printer as the print dialog would; none means the dialog is cancelled.
    std::function<void(QPrinter&)> printerChoice;
    int printDialogs = 0;
    // Reads the files the window opens, on the reading thread; readTextFile until a test sets it.
    std::function<velmor::DecodedText(const QString&, qsizetype, const velmor::ReadingProgress&)> readFile;

    void setText(const QString& text);
    // Files are read on a thread: waits until the open going on has ended; false when it has not
    // within five seconds.
    bool waitForOpen();
    // Triggers a context-menu item the way its shortcut does.
    void trigger(velmor::ActionId id);
};
