#include "FormFixture.h"

#include "document/FileCommands.h"
#include "widgets/TRichEdit98.h"

#include <QAction>
#include <QTest>

FormFixture::FormFixture(int modeCount, bool show, const QString& settingsFile_,
                         const std::function<void(FakeSpeechEngine&)>& configure)
    : settingsFile(settingsFile_.isEmpty() ? folder.filePath(QStringLiteral("velmor.ini")) : settingsFile_)
{
    auto fake = std::make_unique<FakeSpeechEngine>(modeCount);
    engine = fake.get();
    if (configure)
        configure(*fake);
    velmor::Dialogs dialogs;
    dialogs.askYesNo = [this](const QString& text) {
        questions << text;
        return answerYes;
    };
    dialogs.askChoice = [this](const QString& text, const QStringList& buttons, int, int escapeButton) {
        choices << text;
        choiceButtons = buttons;
        return choiceAnswer.value_or(escapeButton);
    };
    dialogs.inform = [this](const QString& text) { informed << text; };
    dialogs.showError = [this](const QString& text) { errors << text; };
    dialogs.chooseColor = [this](const QColor& initial) {
        colorRequests << initial;
        return colorAnswer;
    };
    dialogs.chooseFile = [this](const velmor::FileChoice& choice) {
        fileChoices << choice;
        return fileAnswer;
    };
    dialogs.choosePrinter = [this](QPrinter& printer) {
        ++printDialogs;
        if (printerChoice)
            printerChoice(printer);
        return bool(printerChoice);
    };
    dialogs.notify = [this](QWidget*, const QString& text) { notes << text; };
    dialogs.askQuestion = [this](QWidget*, const QString& text) {
        notes << text;
        return answerYes;
    };
    dialogs.chooseItem = [this](const QString&, const QString& label, const QStringList& list, int preset) {
        itemLabel = label;
        items = list;
        itemPreset = preset;
        return itemAnswer(preset);
    };
    dialogs.beep = [this] { ++beeps; };
    velmor::FormOptions options{false, dialogs, settingsFile};
    options.readFile = [this](const QString& path, qsizetype maxChars, const velmor::ReadingProgress& reading) {
        return readFile ? readFile(path, maxChars, reading) : velmor::readTextFile(path, maxChars, reading);
    };
    options.globalShortcuts = [this] {
        auto service = std::make_unique<FakeGlobalShortcuts>();
        shortcuts = service.get();
        return service;
    };
    // The window asks for its input method only at the first question; the test may set it up before.
    auto fakeInputMethod = std::make_shared<std::unique_ptr<FakeInputMethod>>(std::make_unique<FakeInputMethod>());
    inputMethod = fakeInputMethod->get();
    options.inputMethod = [fakeInputMethod]() -> std::unique_ptr<velmor::InputMethodFramework> {
        return std::move(*fakeInputMethod);
    };
    form = std::make_unique<velmor::TForm1>(std::move(fake), std::move(options));
    if (show) {
        form->show();
        QApplication::setActiveWindow(form.get());
        (void)QTest::qWaitForWindowActive(form.get());
    }
    // The last file, when the settings name one.
    waitForOpen();
}

bool FormFixture::waitForOpen()
{
    return QTest::qWaitFor([this] { return !form->fileCommands().opening(); });
}

FormFixture::~FormFixture()
{
    // Let the window go without the close question.
    ui.textBox().setModified(false);
}

void FormFixture::setText(const QString& text)
{
    ui.textBox().setPlainText(text);
}

void FormFixture::trigger(velmor::ActionId id)
{
    form->action(id).trigger();
}
