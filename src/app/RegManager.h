#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace velmor {

// One settings item: where its value lives in the settings file and the text used
// when the key is missing.
struct TRegItem {
    QString Name;
    QString Section;
    QString Ident;
    QString DefaultValue;
};

class IniDocument;
class TRegManager;

// Reads and writes the value of the item made current by TRegManager::ItemByName.
// Every call opens the file anew, so a written value is seen by the next read; inside
// TRegManager::readTogether and writeTogether the calls share one reading of the file.
// Without a current item (unknown name) or without a file name, reads give
// 0 / false / "" and writes do nothing.
class TRegFiler {
public:
    TRegFiler(const TRegFiler&) = delete;
    TRegFiler& operator=(const TRegFiler&) = delete;

    // Decimal, or hexadecimal after "$"; text that is no 32-bit number reads as 0.
    qint32 ReadInteger();
    // True when the low 8 bits of the stored number are not all zero; no number reads as false.
    bool ReadBool();
    // At most 2,047 UTF-8 bytes, never cutting a character.
    QString ReadString();

    // The writes throw SettingsWriteError when the file refuses them.
    void WriteInteger(qint32 value);
    void WriteBool(bool value);
    void WriteString(const QString& value);

    static constexpr qsizetype MaxTextBytes = 2047;

private:
    friend class TRegManager;
    explicit TRegFiler(TRegManager& manager) : m_manager(manager) { }

    enum class Fallback { AsIs, Boolean };
    // The stored text, else the item's default; nothing without an item or a file name.
    std::optional<QString> read(Fallback fallback);
    void write(const QString& text);

    TRegManager& m_manager;
    std::optional<TRegItem> m_current;
};

// The settings component: a list of named items kept in one INI file.
class TRegManager {
public:
    using Reporter = std::function<void(const QString&)>;

    TRegManager();
    TRegManager(const TRegManager&) = delete;
    TRegManager& operator=(const TRegManager&) = delete;

    QString IniFileName;
    std::vector<TRegItem> RegItems;

    // Makes the first item whose Name equals `name` without regard to case current.
    // An unknown name is reported and leaves no item current.
    TRegFiler& ItemByName(QStringView name);

    // Runs `reads` against one reading of the file, so that every item comes from the same
    // version of it even while another copy of the program replaces it.
    void readTogether(const std::function<void()>& reads);
    // Runs `writes` and puts every value they write into the file in one replacement, made
    // under the settings lock: another copy of the program writing at the same moment
    // comes before or after, never in between. Throws SettingsWriteError as the single
    // writes do; then the file is left as it was.
    void writeTogether(const std::function<void()>& writes);

    // Receives the error texts ("[' x '] is invalid.", "can not create Inifile object.");
    // by default each is shown in a modal error box with an OK button.
    void setReporter(Reporter reporter) { m_reporter = std::move(reporter); }
    static void showErrorDialog(const QString& text);

private:
    friend class TRegFiler;
    void report(const QString& text) const;

    // The file's text while readTogether or writeTogether runs.
    IniDocument* m_open = nullptr;
    bool m_openForWriting = false;
    Reporter m_reporter = showErrorDialog;
    TRegFiler m_filer{*this};
};

} // namespace velmor
