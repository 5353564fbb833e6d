// The lighting deductions of openings changed in bulk: the windows and
// doors picked show their top and floor heights in one dialog (a value that
// differs between them shown as such), and what the user changes is written
// into each one's records.
#pragma once

// "VELMLIGHTDEDUCTION"
void CmdLightDeduction();
