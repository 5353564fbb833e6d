// "VELMPOLYDEDUCT": marks closed polylines as deductions from the rooms
// they lie in, or takes the mark off. Runs transparently too.
#pragma once

// "VELMPOLYDEDUCT"
void VelmPolyDeduct();
