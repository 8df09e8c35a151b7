#pragma once

#include <QString>

// Where the program keeps its files. The old defaults lived in "C:\Eigene Dateien", the
// German "My Documents"; they now live in the user's documents folder on every system.
namespace paths {

QString documentsDir();

// wettk.ini: one fixed place per user (the application's configuration folder).
QString settingsFile();

QString defaultClubDatabase();         // Training.db
QString defaultCompetitionDatabase();  // wettk.db
QString defaultExportFile();           // ausgabe.csv

// A path as stored in the settings. Paths below the old "C:\Eigene Dateien" folder are
// mapped into the documents folder, the old engine's ".mdb" becoming ".db".
QString resolve(const QString& stored);

// The old engine's file a stored path names, its extension kept: the Access file of the
// old program, where the user kept it (below the documents folder for the old default
// folder). "" when the path does not name an ".mdb" file.
QString accessDatei(const QString& stored);

}  // namespace paths
