#pragma once

#include <QDate>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <functional>

#include "display/Anzeigeeinstellung.h"
#include "platform/Database.h"

class Anzeigedienst;

// The live display as the window sees it: started, restarted or stopped after the settings,
// told when the main window's evening or database changes. Its work runs on a thread of its
// own, so that pages and their clients never hold up the window.
class Anzeige : public QObject {
    Q_OBJECT
  public:
    struct Quellen {
        std::function<QDate()> datum;              // the evening shown in the main window
        std::function<int()> saison;               // the season
        std::function<Database::Zugang()> zugang;  // the club database open now ({} for none)
    };
    explicit Anzeige(Quellen quellen, QObject* parent = nullptr);
    ~Anzeige() override;

    // Starts, restarts or stops the display after `e`; "" or the German reason it could not
    // start.
    QString anwenden(const Anzeigeeinstellung& e);
    bool laeuft() const { return dienst_ != nullptr; }
    quint16 port() const { return port_; }
    // Where the pages can be opened ("http://192.168.1.20:8080/", ...).
    QStringList adressen() const;

    // Looks at the main window now instead of at the next second.
    void folgen();
    // An evening was just stored at this stand: the pages get it now, not at the service's
    // next look (which stays, for what other stands store).
    void gespeichert();
    // How often the service looks at the database by itself (tests; default kTaktMs).
    void setTaktMs(int ms) { taktMs_ = ms; }

  private:
    void anhalten();

    Quellen quellen_;
    Anzeigeeinstellung e_;
    QThread thread_;
    Anzeigedienst* dienst_ = nullptr;
    QTimer folgen_;
    quint16 port_ = 0;
    int taktMs_ = 0;  // 0: the service's own
    QDate datum_;
    int saison_ = 0;
    QString pfad_;
};
