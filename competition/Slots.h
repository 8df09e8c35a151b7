#pragma once

class Ini;
struct Wettkampf;

// A prepared match kept in wettk.ini under the section "1", "2" or "3": every row's name,
// birth data, target number, series and total, then the clubs, class and group. The marks,
// the date, the disciplines and the team totals are not kept.
void WettkSpeichern(Ini& ini, int slot, const Wettkampf& w);
void WettkLaden(const Ini& ini, int slot, Wettkampf& w);
