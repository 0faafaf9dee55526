#pragma once
// The settings record of the program and the values derived from it.
//
// One record, RegDat, lives for the whole run: filled with defaults and
// loaded from the per-user store at start, read and assigned directly by the
// windows, and written back only when the settings dialog is confirmed.
// The store is the registry key HKEY_CURRENT_USER\Software\Tavisorn on
// Windows and an INI file under the XDG config folder elsewhere, holding the
// same nineteen text values.

#include <QString>

#include <cstdint>

struct TRegDat {
    QString PerlPath;
    bool ChangeFontFace = true;
    bool InsertSpace = false;
    bool UseCustomDefaultPath = false;
    QString SourceRCDefPath;
    QString DestRCDefPath;
    QString DictDefPath;
    QString NewVerRCDefPath;
    QString NewVerTranlatedRCDefPath;
    QString SourceRCLUPath;
    QString DestRCLUPath;
    QString DictLUPath;
    QString NewRCPath;
    QString NewRCTransLUPath;
    QString DicExt = QStringLiteral("txt");
    QString DicExtDescription = QStringLiteral("文字檔 (*.txt)");
    QString UserFont = QStringLiteral("新細明體");
    std::int32_t UserSize = 9;
    std::uint8_t NoOfLines = 3;
};

extern TRegDat RegDat;
extern QString DictionaryFilter; // DicExtDescription|*.DicExt|所有檔案 (*.*)|*.*
extern QString WorkDirectory;    // current folder at start, ending in a separator

struct SettingsResult {
    bool ok = true;
    QString error; // the text of the error report when !ok
};

// The start-up sequence: defaults, the store's key, WorkDirectory, LoadSettings.
// A failure is returned for the caller to report; the program goes on.
SettingsResult StartSettings();
// Reads the nineteen values; a value without a text form or a number that is
// not decimal stops the load there (earlier fields keep their new values)
// and leaves DictionaryFilter unbuilt.
SettingsResult LoadSettings();
// Writes the nineteen values as text. The store is replaced whole or not at
// all: a failed save keeps the previous store.
SettingsResult SaveSettings();
// DicExtDescription + "|*." + DicExt + "|所有檔案 (*.*)|*.*"
QString BuildDictionaryFilter();
