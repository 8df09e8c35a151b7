#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <stdexcept>

// A failure reading an Access file; the message is German and fit to show.
class AccessFehler : public std::runtime_error {
  public:
    explicit AccessFehler(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

  private:
    QString text_;
};

// An Access file (.mdb) of the old program, table by table, in the text forms of the
// mdbtools programs. Throws AccessFehler.
class AccessLeser {
  public:
    virtual ~AccessLeser() = default;
    // The user tables, as the file lists them.
    virtual QStringList tabellen() = 0;
    // The table's definition as `mdb-schema -T <table> <file> access` prints it.
    virtual QString schema(const QString& tabelle) = 0;
    // The rows as `mdb-export` prints them: CSV with a header, texts in double quotes,
    // NULL as an empty unquoted field, date-times as "YYYY-MM-DD HH:MM:SS", binary as hex.
    virtual QByteArray daten(const QString& tabelle) = 0;
    // How many rows the file says the table has; -1 when the reader cannot tell.
    virtual qint64 zeilenzahl(const QString& tabelle) {
        (void)tabelle;
        return -1;
    }
};

// The table names of `mdb-tables -1`'s output, one a line.
QStringList tabellenAusListe(const QByteArray& ausgabe);

// The reader through Debian's mdbtools, each call a process of its own.
class MdbToolsLeser : public AccessLeser {
  public:
    explicit MdbToolsLeser(QString datei);

    // The programs are there, the file can be read and is an Access file. False with the
    // German reason.
    bool pruefen(QString* fehler);

    QStringList tabellen() override;
    QString schema(const QString& tabelle) override;
    QByteArray daten(const QString& tabelle) override;
    qint64 zeilenzahl(const QString& tabelle) override;

    // Where the program `name` is: on Windows beside Zielkunst (they come with it), else on
    // PATH. Empty when it is nowhere.
    static QString programm(const QString& name);

    // The programs needed, as the package names them.
    static const QStringList kProgramme;
    // How long one program may run (plus a second per megabyte of the file).
    static constexpr qint64 kZeitMs = 60000;
    // What one program may print: ten times the file, at least 1 MiB, at most this.
    static constexpr qint64 kHoechstensBytes = qint64(48) << 20;

  private:
    // The program's output. Anything on its error channel (a page that cannot be read, a
    // value of unknown type) means the file is damaged: AccessFehler naming `tabelle`.
    QByteArray ausfuehren(const QString& programm, const QStringList& argumente,
                          const QString& tabelle = {});

    QString datei_;
    // Where the programs run, and the file's name as they are given it (empty when no name
    // of it can reach them).
    QString ordner_;
    QString argument_;
};
