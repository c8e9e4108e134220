#include "input/ScreenReader.h"

#include <QAbstractButton>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QKeySequence>
#include <QShortcut>

namespace velmor {

namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kEnabled = QStringLiteral("ScreenReaderEnabled");

} // namespace

ScreenReaderWatch::ScreenReaderWatch(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                  SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    // Asked without waiting: a desktop without the accessibility bus answers with an error later.
    QDBusMessage ask = QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    ask << kStatus << kEnabled;
    auto* answer = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        if (!reply.isError())
            take(reply.value().variant().toBool());
        call->deleteLater();
    });
}

void ScreenReaderWatch::propertiesChanged(const QString& interface, const QVariantMap& changed, const QStringList&)
{
    if (interface == kStatus && changed.contains(kEnabled))
        take(changed.value(kEnabled).toBool());
}

void ScreenReaderWatch::take(bool enabled)
{
    const bool starting = enabled && !m_running;
    m_running = enabled;
    if (starting)
        emit started();
}

ScreenReaderOffer::ScreenReaderOffer(EchoSwitches switches, std::function<void(const QString&)> setPanelCaption,
                                     QWidget& window)
    : m_switches(switches)
    , m_setPanelCaption(std::move(setPanelCaption))
    , m_window(window)
{
}

void ScreenReaderOffer::screenReaderStarted()
{
    const bool echoing = m_switches.clipboardSpeech.isChecked() || m_switches.joyfulWriting.isChecked()
        || m_switches.speechInfo.isChecked();
    if (m_offered || !echoing)
        return;
    m_offered = true;
    m_setPanelCaption(kOfferCaption);
    m_key = new QShortcut(QKeySequence(kOfferKey), &m_window);
    connect(m_key, &QShortcut::activated, this, &ScreenReaderOffer::turnEchoOff);
}

void ScreenReaderOffer::turnEchoOff()
{
    for (QAbstractButton* echo : {&m_switches.clipboardSpeech, &m_switches.joyfulWriting, &m_switches.speechInfo})
        echo->setChecked(false);
    m_setPanelCaption(kDoneCaption);
    m_key->deleteLater();
}

} // namespace velmor
