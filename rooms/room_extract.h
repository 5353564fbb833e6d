// VELMEXTRACTR: one text record per room label of the drawing, written to a
// file a spreadsheet opens, shaped by the template line of "velmor.DEX".
#pragma once

#include <optional>
#include <string>

#include "host/util/resbuf.h"

void VelmExtractR();

// A room value in take-off units: areas times f², lengths times f, the
// volume times f³, every other variable unchanged.
double ScaleTakeOffValue(int code, double value, double f);

// The record of one label's record list (from its template name on) by the
// template: a line feed, then the template with every "$" and the five
// characters after it replaced by the variable they name, as one CSV field
// (csv_field.h). nullopt for a
// bad placeholder or a variable the record lacks.
std::optional<std::string> ExpandRoomRecord(const std::string& pattern, const resbuf* templateItem, double f);

// What is wrong with the template's first placeholder that no record can
// fill (cut short, not "code.decimals", a code outside 60..85).
std::optional<std::string> DexTemplateFault(const std::string& pattern);

// The file an extraction writes, asked for with the drawing's name (its
// extension dropped) offered as a CSV file; empty when the user cancels.
std::string AskExtractFile();
