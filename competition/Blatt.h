#pragma once

class Drucker;
struct Wettkampf;

// The one-page competition sheet "RUNDENWETTKAMPF": class, group, date, discipline boxes,
// each team's header and table of seven shooters with four series, total and team result,
// the signature lines. Draws the match as it stands (score it first).
void blattDrucken(Drucker& drucker, const Wettkampf& w);
