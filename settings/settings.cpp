#include "settings/settings.h"

#include "files/savefile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariant>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

TRegDat RegDat;
QString DictionaryFilter;
QString WorkDirectory;

namespace {

// The key of the store, counted from the current user's root.
QString KeyPath = QStringLiteral("\\Software\\Tavisorn");

QString CannotCreateStore()
{
    return QStringLiteral("無法建立登錄: \"%1\"").arg(KeyPath);
}

QString CannotWriteStore()
{
    return QStringLiteral("無法寫入登錄: \"%1\"").arg(KeyPath);
}

QString NotText(const QString &name)
{
    return QStringLiteral("登錄值 \"%1\" 不是文字資料，設定載入中止。").arg(name);
}

QString NotDecimal(const QString &name, const QString &text)
{
    return QStringLiteral("登錄值 \"%1\" 不是十進位整數: \"%2\"，設定載入中止。").arg(name, text);
}

QString FlagText(bool flag)
{
    return flag ? QStringLiteral("True") : QStringLiteral("False");
}

SettingsResult Failure(const QString &text)
{
    return SettingsResult{false, text};
}

#ifdef Q_OS_WIN

std::unique_ptr<QSettings> OpenStore()
{
    auto store = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER") + KeyPath,
                                             QSettings::NativeFormat);
    if (store->status() != QSettings::NoError)
        return nullptr;
    return store;
}

#else

// The per-user store: an INI file in the XDG config folder, looked up anew
// at each open so that a changed environment takes effect.
QString StoreFileName()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Tavisorn/Tavisorn.ini");
}

// Opens the store, creating an empty one when it is missing, as a registry
// key is opened with creation.
std::unique_ptr<QSettings> OpenStore()
{
    const QString fileName = StoreFileName();
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(folder))
        return nullptr;
    if (!QFileInfo::exists(fileName) && !SaveBytes(FileName(fileName), {}).ok)
        return nullptr;
    if (!QFileInfo(fileName).isFile())
        return nullptr;
    auto store = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    if (store->status() != QSettings::NoError)
        return nullptr;
    return store;
}

#endif

// Reads one value as text: a missing value is empty text; any value that
// the store does not hold as plain text (a list, a byte array, a typed
// variant, a number) has no text form.
bool ReadText(QSettings &store, const QString &name, QString &text)
{
    const QVariant value = store.value(name);
    if (!value.isValid()) {
        text.clear();
        return true;
    }
    if (value.typeId() != QMetaType::QString)
        return false;
    text = value.toString();
    return true;
}

} // namespace

QString BuildDictionaryFilter()
{
    return RegDat.DicExtDescription + QStringLiteral("|*.") + RegDat.DicExt
        + QStringLiteral("|所有檔案 (*.*)|*.*");
}

SettingsResult LoadSettings()
{
    const std::unique_ptr<QSettings> store = OpenStore();
    if (!store)
        return Failure(CannotCreateStore());

    QString text;
    const auto readText = [&](const QString &name, QString &field) {
        if (!ReadText(*store, name, text))
            return false;
        field = text;
        return true;
    };
    const auto readFlag = [&](const QString &name, bool &field) {
        if (!ReadText(*store, name, text))
            return false;
        field = text == QStringLiteral("True");
        return true;
    };
    // A number keeps its previous value when its text is empty.
    const auto readNumber = [&](const QString &name, auto &field, QString &error) {
        if (!ReadText(*store, name, text)) {
            error = NotText(name);
            return false;
        }
        if (text.isEmpty())
            return true;
        bool ok = false;
        const int number = text.toInt(&ok, 10);
        if (!ok) {
            error = NotDecimal(name, text);
            return false;
        }
        field = static_cast<std::remove_reference_t<decltype(field)>>(number);
        return true;
    };

    struct TextValue {
        const char16_t *name;
        QString TRegDat::*field;
    };
    const auto readTexts = [&](std::initializer_list<TextValue> values, QString &error) {
        for (const TextValue &v : values) {
            const QString name = QString::fromUtf16(v.name);
            if (!readText(name, RegDat.*(v.field))) {
                error = NotText(name);
                return false;
            }
        }
        return true;
    };
    struct FlagValue {
        const char16_t *name;
        bool TRegDat::*field;
    };
    const auto readFlags = [&](std::initializer_list<FlagValue> values, QString &error) {
        for (const FlagValue &v : values) {
            const QString name = QString::fromUtf16(v.name);
            if (!readFlag(name, RegDat.*(v.field))) {
                error = NotText(name);
                return false;
            }
        }
        return true;
    };

    QString error;
    const bool ok = readTexts({{u"PerlPath", &TRegDat::PerlPath}}, error)
        && readFlags({{u"ChangeFontFace", &TRegDat::ChangeFontFace},
                      {u"UseCustomDefaultPath", &TRegDat::UseCustomDefaultPath},
                      {u"InsertSpace", &TRegDat::InsertSpace}},
                     error)
        && readTexts({{u"SourceRCDefPath", &TRegDat::SourceRCDefPath},
                      {u"DestRCDefPath", &TRegDat::DestRCDefPath},
                      {u"DictDefPath", &TRegDat::DictDefPath},
                      {u"NewVerRCDefPath", &TRegDat::NewVerRCDefPath},
                      {u"NewVerTranlatedRCDefPath", &TRegDat::NewVerTranlatedRCDefPath},
                      {u"SourceRCLUPath", &TRegDat::SourceRCLUPath},
                      {u"DestRCLUPath", &TRegDat::DestRCLUPath},
                      {u"DictLUPath", &TRegDat::DictLUPath},
                      {u"NewRCPath", &TRegDat::NewRCPath},
                      {u"NewRCTransLUPath", &TRegDat::NewRCTransLUPath},
                      {u"UserFont", &TRegDat::UserFont}},
                     error)
        && readNumber(QStringLiteral("UserSize"), RegDat.UserSize, error)
        && readNumber(QStringLiteral("NoOfLines"), RegDat.NoOfLines, error)
        && readTexts({{u"DicExt", &TRegDat::DicExt}, {u"DicExtDescription", &TRegDat::DicExtDescription}},
                     error);
    if (!ok)
        return Failure(error);

    if (RegDat.DicExtDescription.isEmpty())
        RegDat.DicExtDescription = RegDat.DicExt;
    if (RegDat.DicExt.isEmpty()) {
        RegDat.DicExt = QStringLiteral("txt");
        RegDat.DicExtDescription = QStringLiteral("文字檔 (*.txt)");
    }
    DictionaryFilter = BuildDictionaryFilter();
    return {};
}

namespace {

// The nineteen values in the order they are written, as text.
QList<std::pair<QString, QString>> StoredValues()
{
    const auto flag = [](bool value) { return FlagText(value); };
    return {
        {QStringLiteral("PerlPath"), RegDat.PerlPath},
        {QStringLiteral("ChangeFontFace"), flag(RegDat.ChangeFontFace)},
        {QStringLiteral("UseCustomDefaultPath"), flag(RegDat.UseCustomDefaultPath)},
        {QStringLiteral("InsertSpace"), flag(RegDat.InsertSpace)},
        {QStringLiteral("SourceRCDefPath"), RegDat.SourceRCDefPath},
        {QStringLiteral("DestRCDefPath"), RegDat.DestRCDefPath},
        {QStringLiteral("DictDefPath"), RegDat.DictDefPath},
        {QStringLiteral("NewVerRCDefPath"), RegDat.NewVerRCDefPath},
        {QStringLiteral("NewVerTranlatedRCDefPath"), RegDat.NewVerTranlatedRCDefPath},
        {QStringLiteral("SourceRCLUPath"), RegDat.SourceRCLUPath},
        {QStringLiteral("DestRCLUPath"), RegDat.DestRCLUPath},
        {QStringLiteral("DictLUPath"), RegDat.DictLUPath},
        {QStringLiteral("NewRCPath"), RegDat.NewRCPath},
        {QStringLiteral("NewRCTransLUPath"), RegDat.NewRCTransLUPath},
        {QStringLiteral("DicExt"), RegDat.DicExt},
        {QStringLiteral("DicExtDescription"), RegDat.DicExtDescription},
        {QStringLiteral("UserFont"), RegDat.UserFont},
        {QStringLiteral("UserSize"), QString::number(RegDat.UserSize)},
        {QStringLiteral("NoOfLines"), QString::number(RegDat.NoOfLines)},
    };
}

#ifdef Q_OS_WIN

// Empty when the values are stored, else why not.
QString WriteStore(const QList<std::pair<QString, QString>> &values)
{
    const std::unique_ptr<QSettings> store = OpenStore();
    for (const auto &[name, text] : values)
        store->setValue(name, text);
    store->sync();
    return store->status() == QSettings::NoError ? QString() : QStringLiteral("系統錯誤");
}

#else

// The settings are written into a temporary file and read back from the
// disk under a name not used before (settings objects share what they read
// per file name), because a settings file can be cut short on a full disk
// without an error being reported. The checked text then replaces the store
// through SaveFile, which writes through a symbolic link, keeps the file's
// permissions and leaves the old store whole on any failure.
// Empty when the values are stored, else why not.
QString WriteStore(const QList<std::pair<QString, QString>> &values)
{
    const QString fileName = StoreFileName();
    const QString folder = QFileInfo(fileName).absolutePath();
    const QString notWritten = QStringLiteral("%1：%2。").arg(QDir::toNativeSeparators(fileName));
    QTemporaryFile written(folder + QStringLiteral("/.Tavisorn.ini.XXXXXX"));
    QTemporaryFile checked(folder + QStringLiteral("/.Tavisorn.ini.XXXXXX"));
    if (!written.open() || !checked.open())
        return notWritten.arg(written.errorString());
    written.close();
    checked.close();
    const QString cutShort = notWritten.arg(QStringLiteral("寫入的設定不完整，磁碟可能已滿"));
    {
        QSettings fresh(written.fileName(), QSettings::IniFormat);
        for (const auto &[name, text] : values)
            fresh.setValue(name, text);
        fresh.sync();
        if (fresh.status() != QSettings::NoError)
            return cutShort;
    }
    if (std::rename(QFile::encodeName(written.fileName()).constData(),
                    QFile::encodeName(checked.fileName()).constData()) != 0)
        return notWritten.arg(SystemReason(errno));
    {
        const QSettings check(checked.fileName(), QSettings::IniFormat);
        if (check.status() != QSettings::NoError || check.allKeys().size() != values.size())
            return cutShort;
        for (const auto &[name, text] : values) {
            const QVariant stored = check.value(name);
            if (stored.typeId() != QMetaType::QString || stored.toString() != text)
                return cutShort;
        }
    }
    QFile checkedText(checked.fileName());
    if (!checkedText.open(QIODevice::ReadOnly))
        return notWritten.arg(checkedText.errorString());
    const QByteArray text = checkedText.readAll();
    if (text.size() != checkedText.size())
        return notWritten.arg(checkedText.errorString());
    SaveFile store{FileName(fileName)};
    if (!store.open() || !store.write(std::string_view(text.constData(), std::size_t(text.size()))) || !store.commit())
        return notWritten.arg(store.reason());
    return {};
}

#endif

} // namespace

SettingsResult SaveSettings()
{
    if (!OpenStore())
        return Failure(CannotCreateStore());
    if (const QString reason = WriteStore(StoredValues()); !reason.isEmpty())
        return Failure(CannotWriteStore() + QLatin1Char('\n') + reason);
    return {};
}

SettingsResult StartSettings()
{
    RegDat = TRegDat{};
    KeyPath = QStringLiteral("\\Software\\Tavisorn");
    WorkDirectory = QDir::toNativeSeparators(QDir::currentPath());
    const QChar separator = QDir::separator();
    if (!WorkDirectory.endsWith(separator))
        WorkDirectory += separator;
    return LoadSettings();
}
