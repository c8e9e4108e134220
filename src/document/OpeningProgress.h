#pragma once

#include <QString>
#include <QTimer>

#include <functional>

namespace velmor {

class UPanel;

// Says in the information panel how far a long open has got: from 0.3 s after it began until it
// ends, the panel's caption reads "  Opening <file name>  <percent>%". The panel then gets back
// what it showed before, unless something else has replaced the message meanwhile.
class OpeningProgress {
public:
    static constexpr int kQuietMs = 300;
    static constexpr int kStepMs = 100;

    // percent tells how far the open has got, 0 to 100.
    OpeningProgress(UPanel& panel, std::function<int()> percent);

    static QString caption(const QString& fileName, int percent);

    void start(const QString& fileName);
    void stop();

private:
    void show();

    UPanel& m_panel;
    std::function<int()> m_percent;
    QTimer m_timer;
    QString m_fileName;
    QString m_captionBefore;
    QString m_shown; // the caption put in the panel, empty while none is
};

} // namespace velmor
