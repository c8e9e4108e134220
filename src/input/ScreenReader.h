#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

class QAbstractButton;
class QShortcut;
class QWidget;

namespace velmor {

// Whether a screen reader runs, as the desktop's accessibility bus tells it
// (org.a11y.Status.ScreenReaderEnabled on org.a11y.Bus).
class ScreenReaderWatch : public QObject {
    Q_OBJECT
public:
    explicit ScreenReaderWatch(const QDBusConnection& bus, QObject* parent = nullptr);

    bool running() const { return m_running; }

signals:
    // A screen reader runs: found at start, or turned on since.
    void started();

private slots:
    void propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList& invalidated);

private:
    void take(bool enabled);

    QDBusConnection m_bus;
    bool m_running = false;
};

// The switches whose speech talks over a screen reader: clipboard speech, and the echo of typing
// (letters with speech-info, words with Joyful writing).
struct EchoSwitches {
    QAbstractButton& clipboardSpeech; // ClipSpeechCheckBox
    QAbstractButton& joyfulWriting;   // WordReadCheckBox
    QAbstractButton& speechInfo;      // SICheckBox
};

// Beside a screen reader Velmor's own echo would talk over it. Once a screen reader is found, the
// information panel says so and offers one key that turns that echo off; nothing changes unless
// the user presses it.
class ScreenReaderOffer : public QObject {
    Q_OBJECT
public:
    ScreenReaderOffer(EchoSwitches switches, std::function<void(const QString&)> setPanelCaption, QWidget& window);

    void screenReaderStarted();

    static inline const QString kOfferKey = QStringLiteral("Ctrl+Shift+Q");
    static inline const QString kOfferCaption =
        QStringLiteral(" A screen reader runs: Ctrl+Shift+Q turns off Velmor's echo of typing and copying");
    static inline const QString kDoneCaption =
        QStringLiteral(" Echo of typing and copying off: Ctrl+H, Ctrl+J and Ctrl+I turn it on");

private:
    void turnEchoOff();

    EchoSwitches m_switches;
    std::function<void(const QString&)> m_setPanelCaption;
    QWidget& m_window;
    QPointer<QShortcut> m_key;
    bool m_offered = false;
};

} // namespace velmor
