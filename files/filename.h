#pragma once
// A file name as the operating system spells it.
//
// On POSIX systems a name is a string of bytes. Names copied from the
// original platform are often Big5, which is not UTF-8: a QString cannot
// carry them, so a name given as bytes (a command-line argument) keeps its
// bytes here and reaches the system unchanged. On Windows names are UTF-16
// and the bytes are their UTF-8 form.

#include <QByteArray>
#include <QString>

class FileName {
public:
    FileName() = default;
    // A name as Qt gives it (file dialogs, settings).
    FileName(const QString &path); // NOLINT: a QString path is a file name
    static FileName fromNative(const QByteArray &bytes);

    const QByteArray &native() const { return bytes_; }
    bool isEmpty() const { return bytes_.isEmpty(); }
    // The name for messages: UTF-8 where it is, else Big5 where that reads,
    // else with each odd byte as \xNN. Only for showing.
    QString shown() const;
    // The name as Qt spells it, for Qt's own file classes; a name that is
    // not UTF-8 loses bytes here, so file work goes through native().
    QString toQString() const;

    friend bool operator==(const FileName &a, const FileName &b) { return a.bytes_ == b.bytes_; }

private:
    QByteArray bytes_;
};
