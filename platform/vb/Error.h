// Runtime error of the original language runtime: a number, a description and a source.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace vb {

// Error numbers the program relies on.
namespace err {
constexpr qint32 InvalidProcedureCall = 5;  // e.g. Round with negative decimals
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 SubscriptOutOfRange = 9;
constexpr qint32 DivisionByZero = 11;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 FileNotFound = 53;
constexpr qint32 DiskFull = 61;
constexpr qint32 PathFileAccess = 75;      // file exists but cannot be opened or written
constexpr qint32 PathNotFound = 76;
constexpr qint32 ObjectNotSet = 91;
constexpr qint32 InvalidUseOfNull = 94;
constexpr qint32 ItemNotFound = 3265;       // field or collection item not found
constexpr qint32 NoCurrentRecord = 3021;    // BOF or EOF
constexpr qint32 EngineRefused = static_cast<qint32>(0x80004005);  // the database engine refused the statement
}

// Thrown by every failing operation of the platform layers; handlers catch it and log it.
class Error : public std::exception {
public:
    // detail: the system's own text behind the error (in English, say), for the error log only.
    Error(qint32 number, QString description, QString source = QString(), QString detail = QString());

    qint32 number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const QString &detail() const { return m_detail; }
    void setSource(const QString &source) { m_source = source; }
    const char *what() const noexcept override { return m_what.c_str(); }  // the description, UTF-8

    // The Italian text an Italian system shows for a number, of the runtime, the database engine,
    // the file layer or the components ("Tipo non corrispondente", "Impossibile trovare il file
    // 'x'."). `subject` (a file, a table, an object) fills the texts that name one; without it they
    // name none. Numbers no table knows get "Errore definito dall'applicazione o dall'oggetto".
    static QString standardDescription(qint32 number, const QString &subject = QString());
    // An error with the standard description of its number; detail keeps the system's own text.
    static Error of(qint32 number, const QString &source = QString(), const QString &subject = QString(),
                    const QString &detail = QString());
    // What a standard exception stands for (7 for a failed allocation), its text kept as detail.
    static Error of(const std::exception &e, const QString &source = QString());

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    QString m_detail;
    std::string m_what;
};

}  // namespace vb
