#pragma once

#include "platform/Dialogs.h"

class QWidget;

// The real dialogs: modal message boxes with German buttons and no title of their own.
class MessageBoxDialogs : public Dialogs {
  public:
    explicit MessageBoxDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text) override;
    void hinweis(const QString& text) override;
    bool askYesNo(const QString& text, Vorgabe vorgabe = Vorgabe::Ja) override;
    int waehlen(const QString& text, const QStringList& antworten, int vorgabe) override;
    QString askText(const QString& text, const QString& vorgabe = {}) override;
    QString openFileName(const QString& title, const QString& directory,
                         const QString& filter) override;

  private:
    QWidget* parent_;
};
