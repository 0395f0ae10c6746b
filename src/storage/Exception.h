#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Root of every exception the model raises. what() is the exact English message that a
// command shows to the user.
class Exception : public std::exception {
public:
    explicit Exception(const QString& message);
    const char* what() const noexcept override { return FUtf8.constData(); }
    const QString& Message() const { return FMessage; }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// Ends a command without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception(QString()) {}
};

class EStreamError : public Exception {
    using Exception::Exception;
};

// Reading past the end of the data, or a size or count in the data that cannot be right.
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError(QStringLiteral("Stream read error")) {}
};

class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError(QStringLiteral("Stream write error")) {}
    explicit EWriteError(const QString& message) : EStreamError(message) {}
};

class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const QString& fileName)
        : EStreamError(QStringLiteral("Cannot open file %1").arg(fileName)) {}
};

class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const QString& fileName)
        : EStreamError(QStringLiteral("Cannot create file %1").arg(fileName)) {}
};

// Wrong signature at the start of a storage file.
class EInvalidImage : public Exception {
public:
    EInvalidImage() : Exception(QStringLiteral("Invalid stream format")) {}
};

class EClassNotFound : public Exception {
public:
    // A class index outside the file's class table.
    EClassNotFound() : Exception(QStringLiteral("<unknown>")) {}
    explicit EClassNotFound(const QString& className)
        : Exception(QStringLiteral("Class %1 not found").arg(className)) {}
};

class EBadObjectRef : public Exception {
public:
    EBadObjectRef()
        : Exception(QStringLiteral("Reference to unknown object (referenced object may have "
                                   "been written with WriteInstance)")) {}
};

// A picture block whose bytes are not the picture format they claim to be.
class EInvalidGraphic : public Exception {
    using Exception::Exception;
};

// A document whose metafile picture cannot be read: its message names the document.
class EBadMetafile : public Exception {
public:
    explicit EBadMetafile(const QString& documentName)
        : Exception(QStringLiteral("Bad metafile in %1.").arg(documentName)) {}
};
