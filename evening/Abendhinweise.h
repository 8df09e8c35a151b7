#pragma once

#include <QDate>
#include <QString>

class Database;
struct Felder;

// The main window's texts about an evening that is about to be stored.

// F4 with a make-up or advance evening chosen: whether to store under that date.
QString anderesDatumFrage(const Felder& felder);

// The point tables of the class have no entry (`klasse` < 1: the member has no class).
QString punkteHinweis(int klasse);

// This place recalled the member under another date and an evening is stored under the date
// now chosen: whether to replace it. Names the stored total when it can be read.
QString datumGewechseltFrage(Database& db, int nr, const QString& name, const QDate& tag);
