#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// Base of every error the program raises; carries the text shown to the user.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    const QString &Message() const noexcept { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

// Raised by the database engine and the dataset; the message is the engine's text.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// Raised by Format and the text-to-value conversions.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};
