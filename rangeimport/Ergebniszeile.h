#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include "platform/Database.h"

// The columns of a range result that its text line shows, in this order.
extern const QStringList kZeilenSpalten;

// One value of a range row as the logs show it: numbers with a leading blank when not
// negative, dates day first, texts as they are, NULL as nothing.
QString feldText(const QVariant& wert);

// The time stamp of a range row; invalid when it is missing or no time.
QDateTime zeitstempel(const QVariant& wert);

// The text line of a range result: the columns above separated by ",", followed by the
// day of Zeitstempel in parentheses.
QString ergebnisZeile(const SqlRows& rows, std::size_t zeile);
