#pragma once

#include <QObject>
#include <QString>

namespace velmor {

class SpeechEngine;
class UPanel;

// Tells the user in the information panel that speech runs without a sound device: at start-up,
// when the device is lost and whenever a text starts while it is missing. When the device comes
// back the panel says so once, until the next text starts, and then gets back what it showed
// before; something else that replaced either notice stays.
class SilentSpeechNotice : public QObject {
    Q_OBJECT
public:
    static const QString kCaption;
    static const QString kBackCaption;

    SilentSpeechNotice(SpeechEngine& engine, UPanel& panel, QObject* parent);

private:
    void showWhileSilent();
    void outputChanged();

    SpeechEngine& m_engine;
    UPanel& m_panel;
    QString m_captionBefore;
};

} // namespace velmor
