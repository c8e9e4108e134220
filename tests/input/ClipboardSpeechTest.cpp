#include "FormFixture.h"
#include "QtPrinters.h"

#include "core/FormState.h"
#include "core/SpeakingState.h"
#include "input/ClipboardSpeech.h"
#include "input/InputConcerns.h"
#include "input/X11ClipboardReader.h"
#include "widgets/Bgr.h"
#include "widgets/FlatButton.h"
#include "widgets/InfoLine.h"
#include "widgets/LozengeCheckBox.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UpDownEdit.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

QClipboard& clipboard() { return *QGuiApplication::clipboard(); }

QAction& item(FormFixture& f, ActionId id) { return f.ui.action(id); }

// Double-clicks the word that starts at `position` in the text box.
void doubleClickAt(FormFixture& f, int position)
{
    QTextCursor cursor(f.ui.textBox().document());
    cursor.setPosition(position + 1);
    const QPoint point = f.ui.textBox().cursorRect(cursor).center();
    QTest::mouseDClick(f.ui.textBox().viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Delivers what the test says, when it says so.
class ScriptedReader : public velmor::ClipboardReader {
public:
    void read(Delivery deliver) override { pending = std::move(deliver); }
    Delivery pending;
};

} // namespace

TEST(ClipboardWatcher, ReportsEachChangeOnlyWhileEnabledWithAHandler)
{
    velmor::TClipboardWatcher watcher(nullptr);
    int changes = 0;
    EXPECT_FALSE(watcher.registered());
    watcher.setOnChange([&] { ++changes; });
    EXPECT_TRUE(watcher.registered());
    clipboard().setText(QStringLiteral("one"));
    clipboard().setText(QStringLiteral("one"));
    EXPECT_EQ(changes, 2);
    watcher.setEnabled(false);
    clipboard().setText(QStringLiteral("two"));
    EXPECT_EQ(changes, 2);
    watcher.setEnabled(true);
    watcher.setOnChange({});
    EXPECT_FALSE(watcher.registered());
    clipboard().setText(QStringLiteral("three"));
    EXPECT_EQ(changes, 2);
}

TEST(ClipboardSpeech, CopiedTextIsShownAndSpokenAtOnceEveryTime)
{
    FormFixture f;
    f.form->speakingState().start(velmor::SpeechKind::WholeText);
    f.form->speakingState().nextRepetition(3);
    f.form->speakingState().nextRepetition(3);
    f.form->PauseButtonClick();
    ASSERT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Resume"));
    f.engine->clear();
    clipboard().setText(QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").text(), QStringLiteral("  copied words\n"));
    EXPECT_EQ(f.form->state().fClipText, QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::ClipboardText);
    EXPECT_EQ(f.form->speakingState().fRepCount(), 1);
    EXPECT_FALSE(f.form->speakingState().fPaused());
    EXPECT_EQ(f.ui.control<velmor::FlatButton>("PauseButton").text(), QStringLiteral("Pause"));
    clipboard().setText(QStringLiteral("  copied words\r\n"));
    EXPECT_EQ(f.engine->callsOf({"ResetAudio", "SpeakText"}),
              (QStringList{"ResetAudio", "SpeakText:  copied words\r\n", "ResetAudio", "SpeakText:  copied words\r\n"}));
}

TEST(ClipboardSpeech, APictureChangesNothingAndMemorySpeaksThePreviousText)
{
    FormFixture f;
    clipboard().setText(QStringLiteral("earlier"));
    f.engine->clear();
    clipboard().setImage(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("earlier"));
    f.ui.control<velmor::InfoLine>("ULabel98").clear();
    f.ui.click("C_MemoryButton");
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:earlier"}));
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("earlier"));
    f.engine->clear();
    f.trigger(ActionId::ClipbrdMemory1);
    EXPECT_EQ(f.engine->spoken, QStringList{"earlier"});
}

TEST(ClipboardSpeech, MemoryDoesNothingWhenOffEmptyOrWithoutEngine)
{
    {
        FormFixture f;
        f.form->input().clipboard->C_MemoryButtonClick();
        EXPECT_TRUE(f.engine->spoken.isEmpty()); // empty memory
        clipboard().setText(QStringLiteral("kept"));
        f.ui.click("ClipSpeechCheckBox");
        f.engine->clear();
        f.form->input().clipboard->C_MemoryButtonClick();
        EXPECT_TRUE(f.engine->calls.isEmpty()); // clipboard speech off
    }
    FormFixture noEngine(0);
    clipboard().setText(QStringLiteral("still read"));
    EXPECT_EQ(noEngine.ui.infoLine(), QStringLiteral("still read"));
    noEngine.engine->clear();
    noEngine.form->input().clipboard->C_MemoryButtonClick();
    EXPECT_TRUE(noEngine.engine->calls.isEmpty());
}

TEST(ClipboardSpeech, SwitchingOffStopsAWholeTextReadingAndItsRepetition)
{
    FormFixture f;
    f.ui.control<velmor::UpDownEdit>("RepUpDown").setValue(2);
    f.setText(QStringLiteral("the whole text"));
    f.ui.click("SpeechButton");
    f.engine->fireDone();
    ASSERT_TRUE(f.ui.timer().isActive());
    f.engine->clear();
    f.trigger(ActionId::ClipbrdSpeech1); // Ctrl+H
    EXPECT_FALSE(f.ui.control<velmor::LozengeCheckBox>("ClipSpeechCheckBox").isChecked());
    EXPECT_FALSE(f.form->input().clipboard->watcher().Enabled());
    EXPECT_FALSE(f.ui.control<QTimer>("Timer1").isActive());
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});
    clipboard().setText(QStringLiteral("not heard"));
    EXPECT_EQ(f.engine->calls, QStringList{"ResetAudio"});

    f.trigger(ActionId::ClipbrdSpeech1);
    EXPECT_TRUE(f.ui.control<velmor::LozengeCheckBox>("ClipSpeechCheckBox").isChecked());
    EXPECT_TRUE(item(f, ActionId::ClipbrdSpeech1).isChecked());
    f.ui.click("ClipSpeechCheckBox");
    EXPECT_FALSE(item(f, ActionId::ClipbrdSpeech1).isChecked());
    EXPECT_FALSE(f.form->input().clipboard->watcher().registered());
    f.ui.click("ClipSpeechCheckBox");
    EXPECT_TRUE(item(f, ActionId::ClipbrdSpeech1).isChecked());
    EXPECT_TRUE(f.form->input().clipboard->watcher().registered());
}

TEST(ClipboardSpeech, ADoubleClickedWordGoesToTheClipboardAndIsSpokenFromThere)
{
    FormFixture f;
    f.setText(QStringLiteral("first second third"));
    f.engine->clear();
    doubleClickAt(f, 6);
    EXPECT_EQ(clipboard().text(), QStringLiteral("second"));
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("second"));
    EXPECT_EQ(f.engine->callsOf({"ResetAudio", "SpeakText"}), (QStringList{"ResetAudio", "SpeakText:second"}));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::ClipboardText);

    // Without clipboard speech the selection itself is spoken, untrimmed.
    f.ui.click("ClipSpeechCheckBox");
    f.engine->clear();
    f.ui.textBox().setSelection(0, 6);
    f.form->input().clipboard->RichEdit98MouseDown(Qt::LeftButton, true);
    EXPECT_EQ(f.ui.infoLine(), QStringLiteral("first"));
    EXPECT_EQ(clipboard().text(), QStringLiteral("first "));
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:first "}));
    EXPECT_EQ(f.form->speakingState().fSpeechKind(), velmor::SpeechKind::None);
}

TEST(ClipboardSpeech, NothingIsCopiedForBlanksOrWithToClipOff)
{
    FormFixture f;
    f.setText(QStringLiteral("word  \t next"));
    clipboard().setText(QStringLiteral("before"));
    f.engine->clear();
    f.ui.textBox().setSelection(4, 3);
    f.form->input().clipboard->RichEdit98MouseDown(Qt::LeftButton, true);
    EXPECT_EQ(clipboard().text(), QStringLiteral("before"));

    f.trigger(ActionId::toClipbrd1); // Ctrl+D
    EXPECT_FALSE(f.ui.control<velmor::LozengeCheckBox>("SCLCheckBox").isChecked());
    doubleClickAt(f, 0);
    EXPECT_EQ(clipboard().text(), QStringLiteral("before"));
    EXPECT_TRUE(f.engine->calls.isEmpty());
    f.ui.click("SCLCheckBox");
    EXPECT_TRUE(item(f, ActionId::toClipbrd1).isChecked());
}

TEST(ClipboardSpeech, ClicksOnTheInfoLineHideAndShowItsText)
{
    FormFixture f;
    clipboard().setText(QStringLiteral("shown"));
    const QColor panel = velmor::colorFromBgr(f.ui.state().fPColor);
    QWidget* line = f.ui.control<velmor::InfoLine>("ULabel98").viewport();
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").textColor(), panel);
    EXPECT_TRUE(f.ui.textBox().hasFocus());
    QTest::mouseClick(line, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").textColor(), panel);
    QTest::mouseClick(line, Qt::LeftButton);
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").textColor(), QColor(Qt::black));
    f.form->input().clipboard->ULabel98MouseDown(Qt::LeftButton, Qt::NoModifier, true);
    EXPECT_EQ(f.ui.control<velmor::InfoLine>("ULabel98").textColor(), QColor(Qt::black));
}

TEST(ClipboardSpeech, ALongTextIsHeardFromItsBeginningAndTheRestFollows)
{
    FormFixture f;
    auto scripted = std::make_unique<ScriptedReader>();
    ScriptedReader& reader = *scripted;
    QCheckBox clipOn;
    clipOn.setChecked(true);
    QAction clipItem(nullptr), toClipItem(nullptr);
    QCheckBox toClip;
    QStringList errors;
    QStringList captions;
    velmor::ClipboardSpeech speech(
        f.form->state(), f.form->speakingState(), f.engine,
        velmor::ClipboardControls{f.ui.textBox(), f.ui.control<velmor::InfoLine>("ULabel98"), clipOn, clipItem, toClip,
                                  toClipItem, f.ui.timer()},
        velmor::ClipboardServices{[&](const QString& text) { errors << text; }, [] {},
                                  [&](const QString& caption) { captions << caption; }},
        std::move(scripted));
    using Outcome = velmor::ClipboardReading::Outcome;

    f.engine->clear();
    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Beginning, QStringLiteral("start of "), {}});
    reader.pending({Outcome::Whole, QStringLiteral("start of a long text"), QStringLiteral("a long text")});
    EXPECT_EQ(f.engine->calls, (QStringList{"ResetAudio", "SpeakText:start of ", "SpeakText:a long text"}));
    EXPECT_EQ(f.ui.state().fClipText, QStringLiteral("start of a long text"));

    // Reset while the rest is coming: the rest is not wanted any more.
    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Beginning, QStringLiteral("again "), {}});
    f.ui.click("ResetButton");
    f.engine->clear();
    reader.pending({Outcome::Whole, QStringLiteral("again and again"), QStringLiteral("and again")});
    EXPECT_TRUE(f.engine->calls.isEmpty());
    EXPECT_EQ(f.ui.state().fClipText, QStringLiteral("again and again"));

    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Failed, {}, {}});
    EXPECT_EQ(errors, QStringList{QStringLiteral("クリップボードを開くことができません")});
    EXPECT_TRUE(f.engine->calls.isEmpty());

    // A text the reader cut at the limit is spoken as far as it was taken, and the panel says so.
    EXPECT_TRUE(captions.isEmpty());
    speech.ClipboardWatcher1Change();
    reader.pending({Outcome::Whole, QStringLiteral("as far as taken"), {}, true});
    EXPECT_EQ(captions, QStringList{velmor::clipboardCutCaption()});
    EXPECT_TRUE(captions[0].contains(QStringLiteral("100000000")));
    EXPECT_EQ(f.ui.state().fClipText, QStringLiteral("as far as taken"));
}

TEST(ClipboardReading, TheSpokenBeginningEndsAtAWordsEnd)
{
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("one two thr")), QStringLiteral("one two "));
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("one\ntwo")), QStringLiteral("one\n"));
    EXPECT_EQ(velmor::speakableBeginning(QStringLiteral("unbroken")), QStringLiteral("unbroken"));
}

TEST(ClipboardReading, TextIsCutAtTheLimitNeverInsideASurrogatePair)
{
    QString text = QStringLiteral("abcd");
    EXPECT_FALSE(velmor::cutClipboardText(text, 4));
    EXPECT_TRUE(velmor::cutClipboardText(text, 3));
    EXPECT_EQ(text, QStringLiteral("abc"));
    QString emoji = QStringLiteral("a\U0001F600b");
    EXPECT_TRUE(velmor::cutClipboardText(emoji, 2));
    EXPECT_EQ(emoji, QStringLiteral("a"));
}

namespace {

// A display of the test's own, so that the reader meets owners the test controls.
class PrivateDisplay {
public:
    PrivateDisplay()
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_server = fork();
        if (m_server == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            dup2(null, STDOUT_FILENO);
            close(ready[0]);
            execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(ready[1]).c_str(), "-screen", "0", "320x240x24",
                   "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        char number[16] = {};
        qsizetype got = 0;
        while (got < qsizetype(sizeof number) - 1 && read(ready[0], number + got, 1) == 1 && number[got] != '\n')
            ++got;
        close(ready[0]);
        if (got > 0)
            name = ':' + QByteArray(number, got);
    }
    ~PrivateDisplay()
    {
        if (m_server > 0) {
            kill(m_server, SIGTERM);
            waitpid(m_server, nullptr, 0);
        }
    }
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    QByteArray name;

private:
    pid_t m_server = -1;
};

std::uint32_t atom(xcb_connection_t* connection, const char* name)
{
    auto* reply = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::uint16_t(strlen(name)), name), nullptr);
    const std::uint32_t found = reply ? reply->atom : 0;
    free(reply);
    return found;
}

// Another program that owns the clipboard: it answers every request after a delay, or sends
// its text incrementally and never stops.
class ClipboardOwner {
public:
    enum class Manner { Late, Endless };

    ClipboardOwner(const QByteArray& display, Manner manner) : m_manner(manner)
    {
        m_connection = xcb_connect(display.constData(), nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_clipboard = atom(m_connection, "CLIPBOARD");
        m_targets = atom(m_connection, "TARGETS");
        m_utf8 = atom(m_connection, "UTF8_STRING");
        m_incr = atom(m_connection, "INCR");
        xcb_set_selection_owner(m_connection, m_window, m_clipboard, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        m_thread = std::jthread([this](std::stop_token stop) { serve(stop); });
    }
    ~ClipboardOwner()
    {
        m_thread.request_stop();
        m_thread.join();
        xcb_disconnect(m_connection);
    }
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;

    static QByteArray lateText() { return QByteArrayLiteral("An owner that takes its time is still heard."); }
    static constexpr int kChunk = 256 * 1024;
    std::atomic<int> chunksSent{0};

private:
    void serve(const std::stop_token& stop)
    {
        const QByteArray chunk = QByteArray(kChunk - 1, 'a') + ' ';
        std::uint32_t incrRequestor = 0;
        std::uint32_t incrProperty = 0;
        while (!stop.stop_requested()) {
            xcb_generic_event_t* event = xcb_poll_for_event(m_connection);
            if (!event) {
                pollfd descriptor{xcb_get_file_descriptor(m_connection), POLLIN, 0};
                poll(&descriptor, 1, 20);
                continue;
            }
            const int type = event->response_type & 0x7F;
            if (type == XCB_SELECTION_REQUEST) {
                const auto* request = reinterpret_cast<const xcb_selection_request_event_t*>(event);
                if (m_manner == Manner::Late)
                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                if (request->target == m_targets) {
                    const std::uint32_t offered[] = {m_targets, m_utf8};
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                        XCB_ATOM_ATOM, 32, 2, offered);
                } else if (m_manner == Manner::Late) {
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                        m_utf8, 8, std::uint32_t(lateText().size()), lateText().constData());
                } else {
                    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(m_connection, request->requestor, XCB_CW_EVENT_MASK, &events);
                    const std::uint32_t atLeast = kChunk;
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, request->requestor, request->property,
                                        m_incr, 32, 1, &atLeast);
                    incrRequestor = request->requestor;
                    incrProperty = request->property;
                }
                xcb_selection_notify_event_t notify{};
                notify.response_type = XCB_SELECTION_NOTIFY;
                notify.time = request->time;
                notify.requestor = request->requestor;
                notify.selection = request->selection;
                notify.target = request->target;
                notify.property = request->property;
                xcb_send_event(m_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&notify));
            } else if (type == XCB_PROPERTY_NOTIFY) {
                const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
                // The requestor took the last chunk: the next one, for ever.
                if (change->window == incrRequestor && change->atom == incrProperty
                    && change->state == XCB_PROPERTY_DELETE) {
                    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, incrRequestor, incrProperty, m_utf8, 8,
                                        std::uint32_t(chunk.size()), chunk.constData());
                    ++chunksSent;
                }
            }
            free(event);
            xcb_flush(m_connection);
        }
    }

    Manner m_manner;
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_window = 0;
    std::uint32_t m_clipboard = 0;
    std::uint32_t m_targets = 0;
    std::uint32_t m_utf8 = 0;
    std::uint32_t m_incr = 0;
    std::jthread m_thread;
};

std::unique_ptr<velmor::X11ClipboardReader> readerOn(const QByteArray& display, qsizetype longest)
{
    const QByteArray saved = qgetenv("DISPLAY");
    qputenv("DISPLAY", display);
    auto reader = velmor::X11ClipboardReader::create(longest);
    qputenv("DISPLAY", saved);
    return reader;
}

} // namespace

// Another program's text comes over X11: an owner that answers late is still waited for, and
// one that never stops sending is read only up to the limit.
TEST(X11ClipboardReader, WaitsForALateOwnerAndStopsAnEndlessOneAtTheLimit)
{
    const PrivateDisplay display;
    ASSERT_FALSE(display.name.isEmpty()) << "Xvfb did not start";
    using Outcome = velmor::ClipboardReading::Outcome;
    std::vector<velmor::ClipboardReading> readings;
    const auto collect = [&readings](const velmor::ClipboardReading& reading) { readings.push_back(reading); };
    const auto whole = [&readings] { return !readings.empty() && readings.back().outcome != Outcome::Beginning; };
    {
        const ClipboardOwner owner(display.name, ClipboardOwner::Manner::Late);
        const auto reader = readerOn(display.name, velmor::kLongestClipboardText);
        ASSERT_TRUE(reader);
        reader->read(collect);
        ASSERT_TRUE(QTest::qWaitFor(whole, 10000));
        ASSERT_EQ(readings.size(), 1u);
        EXPECT_EQ(readings[0].outcome, Outcome::Whole);
        EXPECT_EQ(readings[0].text, QString::fromLatin1(ClipboardOwner::lateText()));
        EXPECT_FALSE(readings[0].cut);
    }
    readings.clear();
    constexpr qsizetype kLongest = 5 * ClipboardOwner::kChunk / 2;
    ClipboardOwner owner(display.name, ClipboardOwner::Manner::Endless);
    const auto reader = readerOn(display.name, kLongest);
    ASSERT_TRUE(reader);
    reader->read(collect);
    ASSERT_TRUE(QTest::qWaitFor(whole, 10000));
    ASSERT_EQ(readings.size(), 2u);
    EXPECT_EQ(readings[0].outcome, Outcome::Beginning);
    EXPECT_EQ(readings[1].outcome, Outcome::Whole);
    EXPECT_TRUE(readings[1].cut);
    EXPECT_EQ(readings[1].text.size(), kLongest);
    EXPECT_EQ(readings[1].text.size(), readings[0].text.size() + readings[1].rest.size());
    // The reader asked for little more than it kept.
    EXPECT_LE(owner.chunksSent.load(), 5);
}
