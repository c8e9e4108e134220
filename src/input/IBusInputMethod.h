#pragma once

#include "input/InputMethod.h"

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <optional>

namespace velmor {

// What the program needs to know of an IBus engine.
struct IBusEngine {
    QString name;     // "mozc-jp", "hangul", "xkb:jp::jpn"
    QString language; // "ja", "ko"
    QString layout;   // "jp", "kr", "us"
};

// The status an engine stands for: a keyboard layout (xkb:) or no engine is the closed input
// method; Korean engines input Hangul; Japanese ones are in the mode last chosen here (IBus
// does not tell others which mode an engine is in); any other engine composes.
InputMethodStatus ibusStatus(const std::optional<IBusEngine>& engine, int japaneseMode);
// "ja" or "ko" from the engine's language or its layout ("jp", "kr"), else the language given.
QString ibusLanguage(const IBusEngine& engine);
// The engine property that puts Japanese engines (Mozc, Anthy) into a conversion mode.
QString ibusModeProperty(int conversionMode);
// The conversion mode a Japanese engine is in when its input-mode property `key` is checked:
// Latin and direct input are alphanumeric, every kana or full-width mode composes. Nothing
// for other properties.
std::optional<int> ibusModeOfProperty(const QString& key);
// What D-Bus introspection tells of an object: its interfaces and the names of its children.
struct IntrospectedNode {
    QStringList interfaces;
    QStringList children;
};
IntrospectedNode parseIntrospection(const QString& xml);
// The address of the running daemon's bus: $IBUS_ADDRESS, or the file the daemon wrote for
// this display. Empty when none is found.
QString ibusAddress();

// The IBus daemon over its own D-Bus bus. The current engine is the global one, followed
// through the daemon's change signal so that a question costs no round trip.
class IBusInputMethod final : public QObject, public InputMethodFramework {
    Q_OBJECT
public:
    // Nothing when no daemon answers.
    static std::unique_ptr<IBusInputMethod> connectToDaemon();
    ~IBusInputMethod() override;

    InputMethodStatus status() override;
    void setOpen(bool open) override;
    void setConversionMode(int mode) override;
    QString language() override;

private slots:
    void globalEngineChanged();
    // An engine tells the panel of its properties; the checked input mode is its mode.
    void engineProperties(const QDBusMessage& message);

private:
    explicit IBusInputMethod(const QDBusConnection& bus);
    std::optional<IBusEngine> readGlobalEngine();
    QList<IBusEngine> activeEngines();
    void setGlobalEngine(const QString& name);
    QStringList enginePaths(const QString& service, const QString& path, int depth);

    QDBusConnection m_bus;
    std::optional<IBusEngine> m_engine;
    int m_japaneseMode = kImeModeHiragana;
};

} // namespace velmor
