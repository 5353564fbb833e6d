// Room label templates: the small "NAME.UA" files that name the four blocks
// rooms of one kind are drawn with (the label, the data card, one card row
// and the card's total), and the fixed table that brings template names
// found in older drawings to the current ones.
//
// A template line is "eti=", "tab=", "rec=" or "tot=" (case ignored) and
// the block name, the first run of non-blanks after the key; "end" ends the
// template and is required. Lines are read whole.
#pragma once

#include <string>
#include <string_view>

// The four block names a template gives: the label always; the card, its
// row and its total all three or none.
struct LabelTemplate {
    std::string labelBlock;  // "eti="
    std::string cardBlock;   // "tab="
    std::string rowBlock;    // "rec="
    std::string totalBlock;  // "tot="
};

// Reads "<templateName>.UA" from the support path into `out`: 1, or 0 after
// printing why (file not found; else the file and line, and the label
// block, the "end" line or one of the card's three missing). A name with a
// folder part is refused, naming `record`, where the name came from.
int ReadUaFile(std::string_view templateName, LabelTemplate& out, std::string_view record = "NOMEFILEUA");

// The current template name for a name found in a drawing's label or card
// xdata (compared without regard to case); other names come back unchanged.
std::string MapLabelTemplateName(std::string_view name);
