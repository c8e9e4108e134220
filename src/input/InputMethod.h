#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

class QWidget;

namespace velmor {

// Conversion modes, as flags: native input, full width, romaji.
inline constexpr int kImeModeHiragana = 0x19;     // Japanese full-width hiragana
inline constexpr int kImeModeAlphanumeric = 0x10; // half-width alphanumeric (direct)
inline constexpr int kImeModeHangul = 0x01;       // native input alone, as a Korean one reports

struct InputMethodStatus {
    bool open = false;
    int conversionMode = 0;
    bool operator==(const InputMethodStatus&) const = default;
};

// One input-method framework (IBus, Fcitx 5) as the program sees it: whether the input method
// is open, in which conversion mode, and the language of its keyboard.
class InputMethodFramework {
public:
    virtual ~InputMethodFramework() = default;

    virtual InputMethodStatus status() = 0;
    virtual void setOpen(bool open) = 0;
    virtual void setConversionMode(int mode) = 0;
    // "ja", "ko" or another language of the input method or keyboard layout in use.
    virtual QString language() = 0;
};

// No framework runs: the input method is closed and cannot be opened.
class NoInputMethod final : public InputMethodFramework {
public:
    InputMethodStatus status() override { return {}; }
    void setOpen(bool) override {}
    void setConversionMode(int) override {}
    QString language() override { return m_language; }

    // The keyboard layout's language, which still answers the layout tests.
    explicit NoInputMethod(QString language = {}) : m_language(std::move(language)) {}

private:
    QString m_language;
};

// The running framework, or NoInputMethod with the X keyboard layout's language.
std::unique_ptr<InputMethodFramework> detectInputMethodFramework();

// The input-method operations on the text box. Each first gives the text box the keyboard
// focus. The framework is looked for once the event loop runs (not in the way of the window's
// first showing, and in time to hear the engine's report of its mode when the window takes
// the focus), or at the first question if that comes sooner.
class InputMethod {
public:
    using Finder = std::function<std::unique_ptr<InputMethodFramework>()>;

    InputMethod(QWidget& textBox, Finder find);
    ~InputMethod();

    bool IsImeOpened();
    int conversionMode();
    InputMethodStatus status();
    void setOpen(bool open);
    void setConversionMode(int mode);
    bool japaneseLayout();
    bool koreanLayout();

private:
    InputMethodFramework& framework();

    QWidget& m_textBox;
    Finder m_find;
    std::unique_ptr<InputMethodFramework> m_framework;
    QTimer m_lookUp;
};

} // namespace velmor
