#include "platform/widgets/Passwortabfrage.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>

#include "platform/Database.h"

void passwortAbfrageEinrichten(QWidget* eltern) {
    QPointer<QWidget> fenster(eltern);
    Database::setPasswortAbfrage([fenster](const QString& adresse) {
        return QInputDialog::getText(fenster, QStringLiteral("Passwort"),
                                     QStringLiteral("Passwort für %1:").arg(adresse),
                                     QLineEdit::Password);
    });
}
