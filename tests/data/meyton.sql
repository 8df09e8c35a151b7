-- The two tables of a range result database as the import reads them: totals and best
-- Teiler in tenths, series in whole rings, the time stamp with fractions of a second.
CREATE TABLE Scheiben (
    ScheibenID INT NOT NULL PRIMARY KEY,
    Starterliste VARCHAR(80),
    StarterlistenID INT,
    StartNr INT,
    Nachname VARCHAR(60),
    Vorname VARCHAR(60),
    SportpassID VARCHAR(20),
    StandNr INT,
    Disziplin VARCHAR(80),
    DisziplinlID INT,
    Klasse VARCHAR(40),
    KlassenID INT,
    Verein VARCHAR(80),
    VereinsID INT,
    Mannschaft VARCHAR(80),
    MannschaftsID INT,
    Rangliste VARCHAR(80),
    RanglistenID INT,
    Trefferzahl INT,
    TotalRing INT,
    TotalRing01 INT,
    Zeitstempel DATETIME(3) NULL,
    BesterTeiler01 INT
) CHARACTER SET utf8mb4;

CREATE TABLE Serien (
    ScheibenID INT NOT NULL,
    Serie INT NOT NULL,
    Ring INT,
    PRIMARY KEY (ScheibenID, Serie)
) CHARACTER SET utf8mb4;
