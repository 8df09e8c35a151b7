#include "platform/widgets/MessageBoxDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {
QWidget* ownerOf(QWidget* parent) {
    return parent ? parent : QApplication::activeWindow();
}
}  // namespace

void MessageBoxDialogs::message(const QString& text) {
    QMessageBox box(ownerOf(parent_));
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

void MessageBoxDialogs::hinweis(const QString& text) {
    // Not modal: a reading or the next member goes on while it is shown. It belongs to no
    // window (the reading window that asked closes at once and would take it along), and it
    // comes up once the handler that asked is done, above the window that brought itself to
    // the front; the keyboard stays where the official types.
    QTimer::singleShot(0, qApp, [text, eltern = QPointer<QWidget>(parent_)] {
        auto* box = new QMessageBox(eltern.data());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setAttribute(Qt::WA_ShowWithoutActivating);
        box->setWindowModality(Qt::NonModal);
        box->setWindowTitle(QApplication::applicationDisplayName());
        box->setText(text);
        box->setIcon(QMessageBox::Information);
        box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box->show();
        box->raise();
    });
}

bool MessageBoxDialogs::askYesNo(const QString& text, Vorgabe vorgabe) {
    QMessageBox box(ownerOf(parent_));
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    box.setDefaultButton(vorgabe == Vorgabe::Nein ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int MessageBoxDialogs::waehlen(const QString& text, const QStringList& antworten, int vorgabe) {
    QMessageBox box(ownerOf(parent_));
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setIcon(QMessageBox::Question);
    QList<QPushButton*> knoepfe;
    for (const QString& a : antworten) {
        knoepfe << box.addButton(a, QMessageBox::ActionRole);
    }
    if (vorgabe >= 0 && vorgabe < knoepfe.size()) {
        box.setDefaultButton(knoepfe[vorgabe]);
        box.setEscapeButton(knoepfe[vorgabe]);
    }
    box.exec();
    const auto i = knoepfe.indexOf(static_cast<QPushButton*>(box.clickedButton()));
    return i < 0 ? vorgabe : static_cast<int>(i);
}

QString MessageBoxDialogs::askText(const QString& text, const QString& vorgabe) {
    QInputDialog d(ownerOf(parent_));
    d.setWindowTitle(QApplication::applicationDisplayName());
    d.setLabelText(text);
    d.setTextValue(vorgabe);
    d.setOkButtonText(QStringLiteral("OK"));
    d.setCancelButtonText(QStringLiteral("Abbrechen"));
    return d.exec() == QDialog::Accepted ? d.textValue().trimmed() : QString();
}

QString MessageBoxDialogs::openFileName(const QString& title, const QString& directory,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(ownerOf(parent_), title, directory, filter);
}
