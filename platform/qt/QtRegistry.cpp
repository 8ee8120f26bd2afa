#include "platform/qt/QtRegistry.h"

#include <QStringList>

namespace {

const QString kDwordTag = QStringLiteral("dword:");
const QString kStringTag = QStringLiteral("sz:");
const QString kKeyMarker = QStringLiteral(".key");

// The segments of a key path; backslashes and slashes both separate.
QStringList Segments(const char* key) {
    QString path = QString::fromUtf8(key ? key : "");
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString FindNoCase(const QStringList& names, const QString& wanted) {
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return wanted;
}

} // namespace

QtRegistry::QtRegistry()
    : m_settings(std::make_unique<QSettings>(QStringLiteral("Quillex"), QStringLiteral("Pelmora"))) {
    SetRegistry(this);
}

QtRegistry::QtRegistry(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {
    SetRegistry(this);
}

QtRegistry::~QtRegistry() {
    if (&Registry() == this)
        SetRegistry(nullptr);
    m_settings->sync();
}

QtRegistry& QtRegistry::Install() {
    static QtRegistry instance;
    SetRegistry(&instance);
    return instance;
}

QString QtRegistry::EncodeDword(uint32_t value) {
    return kDwordTag + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString QtRegistry::EncodeString(const QString& value) {
    if (value.startsWith(kDwordTag) || value.startsWith(kStringTag))
        return kStringTag + value;
    return value;
}

bool QtRegistry::Decode(const QString& stored, std::optional<uint32_t>& dword, QString& text) {
    dword.reset();
    text.clear();
    if (stored.startsWith(kDwordTag)) {
        bool ok = false;
        const qulonglong value = stored.mid(kDwordTag.size()).toULongLong(&ok, 16);
        if (!ok || value > 0xFFFFFFFFull)
            return false;
        dword = static_cast<uint32_t>(value);
        return true;
    }
    text = stored.startsWith(kStringTag) ? stored.mid(kStringTag.size()) : stored;
    return true;
}

QString QtRegistry::ResolveGroup(const char* key) const {
    QString group;
    for (const QString& segment : Segments(key)) {
        m_settings->beginGroup(group);
        const QString spelled = FindNoCase(m_settings->childGroups(), segment);
        m_settings->endGroup();
        group = group.isEmpty() ? spelled : group + QLatin1Char('/') + spelled;
    }
    return group;
}

QString QtRegistry::ResolveName(const QString& group, const char* name) const {
    m_settings->beginGroup(group);
    const QString spelled = FindNoCase(m_settings->childKeys(), QString::fromUtf8(name ? name : ""));
    m_settings->endGroup();
    return spelled;
}

bool QtRegistry::KeyExists(const char* key) const {
    const QString group = ResolveGroup(key);
    if (group.isEmpty())
        return true;
    m_settings->beginGroup(group);
    const bool exists = !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
    m_settings->endGroup();
    return exists;
}

bool QtRegistry::CreateKey(const char* key) {
    if (KeyExists(key))
        return true;
    const QString group = ResolveGroup(key);
    m_settings->setValue(group + QLatin1Char('/') + kKeyMarker, true);
    m_settings->sync();
    NoteSettingsStoreChange();
    return m_settings->status() == QSettings::NoError;
}

bool QtRegistry::DeleteKey(const char* key) {
    const QString group = ResolveGroup(key);
    if (group.isEmpty() || !KeyExists(key))
        return false;
    m_settings->remove(group);
    m_settings->sync();
    NoteSettingsStoreChange();
    return true;
}

std::optional<QString> QtRegistry::ReadRaw(const char* key, const char* name) const {
    const QString group = ResolveGroup(key);
    const QString path = (group.isEmpty() ? QString() : group + QLatin1Char('/')) + ResolveName(group, name);
    if (!m_settings->contains(path))
        return std::nullopt;
    return m_settings->value(path).toString();
}

std::optional<uint32_t> QtRegistry::ReadDword(const char* key, const char* name) const {
    const std::optional<QString> stored = ReadRaw(key, name);
    if (!stored)
        return std::nullopt;
    std::optional<uint32_t> dword;
    QString text;
    if (!Decode(*stored, dword, text))
        return std::nullopt;
    return dword;
}

std::optional<CString> QtRegistry::ReadString(const char* key, const char* name) const {
    const std::optional<QString> stored = ReadRaw(key, name);
    if (!stored)
        return std::nullopt;
    std::optional<uint32_t> dword;
    QString text;
    if (!Decode(*stored, dword, text) || dword)
        return std::nullopt;
    return CString(text.toUtf8().toStdString());
}

bool QtRegistry::WriteRaw(const char* key, const char* name, const QString& stored) {
    const QString group = ResolveGroup(key);
    const QString path = (group.isEmpty() ? QString() : group + QLatin1Char('/')) + ResolveName(group, name);
    m_settings->setValue(path, stored);
    m_settings->remove(group + QLatin1Char('/') + kKeyMarker);
    m_settings->sync();
    NoteSettingsStoreChange();
    return m_settings->status() == QSettings::NoError;
}

bool QtRegistry::WriteDword(const char* key, const char* name, uint32_t value) {
    return WriteRaw(key, name, EncodeDword(value));
}

bool QtRegistry::WriteString(const char* key, const char* name, const char* value) {
    return WriteRaw(key, name, EncodeString(QString::fromUtf8(value ? value : "")));
}

bool QtRegistry::DeleteValue(const char* key, const char* name) {
    const QString group = ResolveGroup(key);
    const QString path = (group.isEmpty() ? QString() : group + QLatin1Char('/')) + ResolveName(group, name);
    if (!m_settings->contains(path))
        return false;
    m_settings->remove(path);
    // Keep the key itself when its last value goes, as the registry does.
    if (!KeyExists(key) && !group.isEmpty())
        m_settings->setValue(group + QLatin1Char('/') + kKeyMarker, true);
    m_settings->sync();
    NoteSettingsStoreChange();
    return true;
}
