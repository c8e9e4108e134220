#include "app/RegManager.h"

#include "app/IniFile.h"

#include <QApplication>
#include <QMessageBox>
#include <QScopeGuard>

namespace velmor {

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (base == 16 && u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (base == 16 && u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Optional sign, then decimal digits or "$" and hexadecimal digits; hexadecimal may
// use all 32 bits (so "$FFFFFFFF" is -1), decimal must fit a signed 32-bit value.
std::optional<qint32> toInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    const int base = i < text.size() && text[i] == u'$' ? 16 : 10;
    if (base == 16)
        ++i;
    if (i == text.size())
        return std::nullopt;

    const quint64 limit = base == 16 ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0)
            return std::nullopt;
        value = value * base + quint64(digit);
        if (value > limit)
            return std::nullopt;
    }
    const quint32 bits = quint32(value);
    return qint32(negative ? 0u - bits : bits);
}

// A boolean item's default counts as "1" when it says so in one of the usual ways.
QString booleanDefault(const QString& defaultValue)
{
    const QString upper = defaultValue.toUpper();
    return upper == u"1" || upper == u"TRUE" || upper == u"YES" ? QStringLiteral("1") : QStringLiteral("0");
}

QString cutToUtf8Bytes(const QString& text, qsizetype maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes)
        return text;
    qsizetype end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return QString::fromUtf8(utf8.first(end));
}

} // namespace

std::optional<QString> TRegFiler::read(Fallback fallback)
{
    if (!m_current)
        return std::nullopt;
    if (m_manager.IniFileName.isEmpty()) {
        m_manager.report(QStringLiteral("can not create Inifile object."));
        return std::nullopt;
    }
    const auto stored = m_manager.m_open ? m_manager.m_open->value(m_current->Section, m_current->Ident)
                                         : readIniValue(m_manager.IniFileName, m_current->Section, m_current->Ident);
    if (stored)
        return stored;
    return fallback == Fallback::Boolean ? booleanDefault(m_current->DefaultValue) : m_current->DefaultValue;
}

void TRegFiler::write(const QString& text)
{
    if (!m_current)
        return;
    if (m_manager.IniFileName.isEmpty()) {
        m_manager.report(QStringLiteral("can not create Inifile object."));
        return;
    }
    // A line break in a value would let it write lines of its own into the file.
    if (!IniDocument::canStore(m_current->Section, m_current->Ident, text)) {
        m_manager.report(QStringLiteral("[' %1 '] holds a line break or another control character and was not saved.")
                             .arg(m_current->Name));
        return;
    }
    if (m_manager.m_open && m_manager.m_openForWriting)
        m_manager.m_open->setValue(m_current->Section, m_current->Ident, text);
    else
        writeIniValue(m_manager.IniFileName, m_current->Section, m_current->Ident, text);
}

qint32 TRegFiler::ReadInteger()
{
    const auto text = read(Fallback::AsIs);
    return text ? toInteger(*text).value_or(0) : 0;
}

bool TRegFiler::ReadBool()
{
    const auto text = read(Fallback::Boolean);
    return text && (toInteger(*text).value_or(0) & 0xFF) != 0;
}

QString TRegFiler::ReadString()
{
    const auto text = read(Fallback::AsIs);
    return text ? cutToUtf8Bytes(*text, MaxTextBytes) : QString();
}

void TRegFiler::WriteInteger(qint32 value) { write(QString::number(value)); }

void TRegFiler::WriteBool(bool value) { write(value ? QStringLiteral("1") : QStringLiteral("0")); }

void TRegFiler::WriteString(const QString& value) { write(value); }

TRegManager::TRegManager() = default;

TRegFiler& TRegManager::ItemByName(QStringView name)
{
    for (const TRegItem& item : RegItems) {
        if (name.compare(item.Name, Qt::CaseInsensitive) == 0) {
            m_filer.m_current = item;
            return m_filer;
        }
    }
    m_filer.m_current.reset();
    report(QStringLiteral("[' %1 '] is invalid.").arg(name));
    return m_filer;
}

void TRegManager::readTogether(const std::function<void()>& reads)
{
    if (IniFileName.isEmpty()) {
        reads();
        return;
    }
    IniDocument doc = readIniFile(IniFileName);
    m_open = &doc;
    m_openForWriting = false;
    const auto finished = qScopeGuard([this] { m_open = nullptr; });
    reads();
}

void TRegManager::writeTogether(const std::function<void()>& writes)
{
    if (IniFileName.isEmpty()) {
        writes();
        return;
    }
    updateIniFile(IniFileName, [this, &writes](IniDocument& doc) {
        m_open = &doc;
        m_openForWriting = true;
        const auto finished = qScopeGuard([this] { m_open = nullptr; });
        writes();
    });
}

void TRegManager::showErrorDialog(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), QGuiApplication::applicationDisplayName(), text,
                          QMessageBox::Ok);
}

void TRegManager::report(const QString& text) const
{
    if (m_reporter)
        m_reporter(text);
}

} // namespace velmor
